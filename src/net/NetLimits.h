// Every number the network core lives by: the wire sizes, the sender's
// retry rule and the receiver's bounds against hostile input.
#pragma once

#include <cstddef>
#include <cstdint>

// One datagram: a 12-byte head and 408 bytes of data.
constexpr std::size_t messageSize = 420;
constexpr std::size_t messageHeadSize = 12;
constexpr std::size_t messageDataSize = messageSize - messageHeadSize;

// chunkIndex is read as signed 16-bit, so 0..32767.
constexpr std::uint32_t maxChunkCount = 32768;

// Between marked copies (Message.h): whole messages packed into one UDP
// datagram, and transfers numbered past chunkIndex through the mark, up to
// 2^20 messages (a quarter of a gigabyte and more, whatever the computer's
// name).
constexpr std::size_t maxMessagesPerDatagram = 16;
constexpr std::size_t maxDatagramSize = maxMessagesPerDatagram * messageSize;
constexpr std::uint32_t maxWideChunkCount = 1u << 20;
// Three messages fit one Ethernet frame of 1,500 bytes: the batch a send
// falls back to when bigger datagrams go unanswered (a network that drops
// IP fragments), before single messages.
constexpr std::size_t framedBatch = 3;

// Sender: a message unacknowledged this long after its latest send goes
// again; one unacknowledged this long after its first send, or after
// maxSends sends (attempt is four bits), fails the whole send.
constexpr std::uint32_t resendAfterMs = 500;
constexpr std::uint32_t giveUpAfterMs = 2000;
constexpr std::uint32_t maxSends = 16;
// The most messages a send keeps in flight at once: towards a marked copy,
// which takes them in batches; towards any other, plainSendWindow.
constexpr std::uint32_t maxSendWindow = 256;
constexpr std::uint32_t plainSendWindow = 16;

// Receiver: a transfer is dropped this long after the last message it took
// in, reported as failed if it was incomplete.
constexpr std::uint32_t transferTimeoutMs = 5000;
// Unfinished transfers hold at most this many bytes together (chunks and
// their bookkeeping); the largest possible transfer (32,768 x 407 bytes)
// fits several times over.
constexpr std::size_t maxStoredBytes = 40u * 1024 * 1024;
// Transfers listed at once, complete ones (which keep only their key)
// included.
constexpr std::size_t maxTransfers = 64;
// Unfinished or recent transfers of one sender (one address, or all that
// come by mailslot): a flood of first messages only pushes out the
// flooder's own.
constexpr std::size_t maxTransfersPerSource = 8;
// Acknowledged kind: the message keys a transfer remembers having echoed,
// so a duplicated datagram is echoed once.
constexpr std::size_t recentAckCount = 16;
