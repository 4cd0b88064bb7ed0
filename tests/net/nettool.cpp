// The transport from the outside, for the network tests and the benchmark:
//
//   nettool listen OUTDIR SECONDS [--answer HOST SIZE]
//       A MailslotListener with a recording handler for every type. Each
//       complete payload becomes OUTDIR/N-tTYPE.body with OUTDIR/N-tTYPE.info
//       (type, computer, user, length); each failed transfer a line in
//       OUTDIR/failed.txt; memory.txt gets the private bytes once listening
//       and after each payload. OUTDIR/ready tells which ways listen.
//       --answer: a type 7 payload is answered with SIZE bytes of type 9 to
//       HOST, tried up to ten times like a persistent handler, each try after
//       asking the main thread by a sent message (OUTDIR/answering first).
//       Ends after SECONDS or once OUTDIR/quit exists, and writes how long
//       stop() took to OUTDIR/stopped.
//   nettool send HOST TYPE SIZE [SEED] [--threads N] [--window W] [--user NAME]
//                [--computer NAME]
//       SIZE pseudo-random bytes from SEED (thread i uses SEED + i); one line
//       per send with its result and speed, claiming to be user NAME on
//       computer NAME. Exit code 0 when all succeeded.
//   nettool fetch HOST FIRST LAST USER [COMPUTER]
//                                      fetch requests for entries FIRST..LAST
//                                      as USER (on COMPUTER); prints how many
//                                      were taken
//   nettool serve BODYFILE USER CAPTION SECONDS
//       One shared clipboard, as USER: a clip-list query is answered with a
//       picture record captioned CAPTION (entry 1) and one captioned "Stops
//       part-way" (entry 2), a fetch request for entry 1 with the bytes of
//       BODYFILE as fetch data, both back to the asker from a thread of their
//       own; a line for each answer. A fetch of entry 2 gets the first tenth
//       of the same transfer, and then nothing. Ends after SECONDS.
//   nettool forge HOST COMPUTER USER   unasked fetch data to HOST:24170 as
//                                      USER on COMPUTER, never waiting for an
//                                      echo: 64 first messages of transfers
//                                      that never go on, the start of one
//                                      that stops, and a whole one holding
//                                      the text "forged"
//   nettool body SIZE SEED FILE        the body send sends, into FILE
//   nettool flood HOST COUNT SEED      COUNT hostile datagrams to HOST:24170
//   nettool udppong SECONDS            echoes datagrams on UDP port 24171
//   nettool udpping HOST COUNT         420-byte round trips to HOST:24171
//   nettool udpflow HOST COUNT WINDOW  the same with WINDOW datagrams in flight
//   nettool name                       the computer name sends carry
// listen, send, fetch and serve take --plain: the process plays a copy
// whose messages carry no mark, which speaks the plain protocol alone.
#include "base/Socket.h"

#include "base/String.h"
#include "net/MailslotListener.h"
#include "net/Chunking.h"
#include "net/MailslotPeer.h"
#include "net/UdpSocket.h"
#include "net/AnswerQueue.h"
#include "clip/ClipFormats.h"
#include "protocol/ShareMessages.h"

#include <windows.h>
#include <psapi.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::uint16_t pongPort = 24171;

std::vector<std::uint8_t> makeBody(std::size_t size, std::uint64_t seed) {
    std::vector<std::uint8_t> body(size);
    std::uint64_t state = seed * 0x9E3779B97F4A7C15ull + 1;
    for (std::uint8_t& byte : body) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        byte = static_cast<std::uint8_t>(state >> 24);
    }
    return body;
}

std::string computerName() {
    String name;
    name.assignComputerName();
    return name.text();
}

bool exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Private bytes: the commit charge, which Windows and Wine both report
// (Wine leaves PrivateUsage at 0).
std::string memoryLine() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters))
        return "private=0 peak=0";
    return "private=" + std::to_string(counters.PagefileUsage) + " peak=" + std::to_string(counters.PeakPagefileUsage);
}

struct AnswerPlan {
    std::string host;
    std::size_t size = 0;
    // A window of the main thread, which stands for the user-interface thread.
    HWND ui = nullptr;
};

// What the user-interface thread answers when a handler asks it for a copy
// of something (here, nothing but that it answered).
LRESULT CALLBACK uiWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP)
        return 1;
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND makeUiWindow() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = uiWindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "NettoolUi";
    RegisterClassA(&windowClass);
    return CreateWindowA("NettoolUi", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
}

class Recorder : public MessageHandler {
public:
    Recorder(unsigned messageType, const std::string& folder, std::atomic<int>& serial, std::mutex& files,
             MailslotListener& listener, const AnswerPlan* answer)
        : MessageHandler(messageType), mFolder(folder), mSerial(serial), mFiles(files), mListener(listener),
          mAnswer(answer) {}

    void onTransferFailed(const TransferFrom&) override {
        const std::lock_guard<std::mutex> lock(mFiles);
        std::ofstream(mFolder + "/failed.txt", std::ios::app) << "type " << type << "\n";
    }

    void handle(const TransferFrom&, const char* computer, const char* user, const std::uint8_t* body,
                std::uint32_t length) override {
        try {
            const std::string name = mFolder + "/" + std::to_string(++mSerial) + "-t" + std::to_string(type);
            std::ofstream(name + ".body", std::ios::binary).write(reinterpret_cast<const char*>(body), length);
            writeFile(name + ".info", "type " + std::to_string(type) + "\ncomputer " + computer + "\nuser " + user +
                                          "\nlength " + std::to_string(length) + "\n");
            {
                const std::lock_guard<std::mutex> lock(mFiles);
                std::ofstream(mFolder + "/memory.txt", std::ios::app) << "payload " << memoryLine() << "\n";
            }
            if (mAnswer != nullptr && type == 7)
                answer(user);
        } catch (const std::exception&) {
            // A handler never throws into the listener.
        }
    }

private:
    void answer(const char* user) {
        writeFile(mFolder + "/answering", mAnswer->host + "\n");
        const std::vector<std::uint8_t> body = makeBody(mAnswer->size, 7);
        MailslotPeer peer(mListener.transport(), mAnswer->host.c_str(), user, mListener.stopToken());
        // Before each try it asks the user-interface thread, as the program's
        // handlers do for the user name: stop() must answer that meanwhile.
        int tries = 0;
        while (tries < 10 && (SendMessageA(mAnswer->ui, WM_APP, 0, 0) != 1 || !peer.send(9, body.data(), body.size())))
            ++tries;
        writeFile(mFolder + "/answered", std::to_string(tries) + " failed tries\n");
    }

    const std::string mFolder;
    std::atomic<int>& mSerial;
    std::mutex& mFiles;
    MailslotListener& mListener;
    const AnswerPlan* const mAnswer;
};

int listen(int argc, char** argv, bool plain) {
    if (argc < 4)
        return 2;
    const std::string folder = argv[2];
    const DWORD seconds = std::strtoul(argv[3], nullptr, 10);
    AnswerPlan plan;
    const AnswerPlan* answer = nullptr;
    if (argc >= 7 && std::strcmp(argv[4], "--answer") == 0) {
        plan = {argv[5], std::strtoul(argv[6], nullptr, 10), makeUiWindow()};
        answer = &plan;
    }
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string computer = computerName();
    std::atomic<int> serial{0};
    std::mutex files;
    MailslotListener listener(computer.c_str());
    listener.transport().setMarked(!plain);
    std::vector<std::unique_ptr<Recorder>> recorders;
    for (unsigned type = 0; type < 16; ++type) {
        recorders.push_back(std::make_unique<Recorder>(type, folder, serial, files, listener, answer));
        listener.addHandler(*recorders.back());
    }
    if (!listener.start())
        return 1;
    {
        const std::lock_guard<std::mutex> lock(files);
        std::ofstream(folder + "/memory.txt", std::ios::app) << "start " << memoryLine() << "\n";
    }
    writeFile(folder + "/ready", "computer " + computer + "\nudp " +
                                     std::to_string((listener.listening() & MailslotListener::Udp) != 0) +
                                     "\nmailslot " +
                                     std::to_string((listener.listening() & MailslotListener::Mailslot) != 0) + "\n");
    std::printf("listening as %s\n", computer.c_str());
    std::fflush(stdout);
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < seconds * 1000 && !exists(folder + "/quit")) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
    }
    const DWORD stopping = GetTickCount();
    listener.stop();
    writeFile(folder + "/stopped", "stop_ms " + std::to_string(GetTickCount() - stopping) + "\n");
    return 0;
}

int send(int argc, char** argv, bool plain) {
    if (argc < 5)
        return 2;
    const std::string host = argv[2];
    const unsigned type = std::strtoul(argv[3], nullptr, 10);
    const std::size_t size = std::strtoul(argv[4], nullptr, 10);
    std::uint64_t seed = 1;
    int threads = 1;
    std::uint32_t window = maxSendWindow;
    std::string user = "tester";
    std::string computer = computerName();
    for (int i = 5; i < argc; ++i) {
        if (std::strcmp(argv[i], "--threads") == 0 && i + 1 < argc)
            threads = std::max(1, std::atoi(argv[++i]));
        else if (std::strcmp(argv[i], "--window") == 0 && i + 1 < argc)
            window = std::strtoul(argv[++i], nullptr, 10);
        else if (std::strcmp(argv[i], "--user") == 0 && i + 1 < argc)
            user = argv[++i];
        else if (std::strcmp(argv[i], "--computer") == 0 && i + 1 < argc)
            computer = argv[++i];
        else
            seed = std::strtoull(argv[i], nullptr, 10);
    }
    NetTransport transport(computer.c_str());
    transport.setMarked(!plain);
    std::vector<std::string> lines(threads);
    std::vector<int> results(threads, 0);
    // The sends begin together, most often within one tick of the clock, so
    // two transfers of one size could share an identity.
    std::atomic<int> ready{0};
    const auto run = [&](int i) {
        const std::vector<std::uint8_t> body = makeBody(size, seed + i);
        MailslotPeer peer(transport, host.c_str(), user.c_str());
        peer.setWindow(window);
        ++ready;
        const DWORD waiting = GetTickCount();
        while (ready.load() < threads && GetTickCount() - waiting < 5000)
            SwitchToThread();
        const DWORD began = GetTickCount();
        const bool ok = peer.send(type, body.data(), body.size());
        const DWORD ms = std::max<DWORD>(1, GetTickCount() - began);
        char line[200];
        std::snprintf(line, sizeof line, "%s bytes=%zu messages=%u acknowledged=%u ms=%lu MB/s=%.2f",
                      ok ? "sent" : "failed", size, peer.messageCount(), peer.acknowledgedCount(),
                      static_cast<unsigned long>(ms), size / 1e6 / (ms / 1e3));
        lines[i] = line;
        results[i] = ok;
    };
    std::vector<std::thread> running;
    for (int i = 1; i < threads; ++i)
        running.emplace_back(run, i);
    run(0);
    for (std::thread& thread : running)
        thread.join();
    for (const std::string& line : lines)
        std::printf("%s\n", line.c_str());
    return std::count(results.begin(), results.end(), 1) == threads ? 0 : 1;
}

int body(int argc, char** argv) {
    if (argc < 5)
        return 2;
    const std::vector<std::uint8_t> bytes = makeBody(std::strtoul(argv[2], nullptr, 10), std::strtoull(argv[3], nullptr, 10));
    std::ofstream(argv[4], std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return 0;
}

std::uint32_t resolve(const char* host) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* found = nullptr;
    if (getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr)
        return 0;
    const std::uint32_t address = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    freeaddrinfo(found);
    return address;
}

// Random sizes and bytes; messages of every type announcing huge transfers
// with random chunks, from made-up computers; and a few such transfers fed
// many chunks each, so stored chunks press against the listener's limit.
void hostile(std::uint64_t& state, std::vector<std::uint8_t>& out) {
    const auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return static_cast<std::uint32_t>(state >> 16);
    };
    const std::uint32_t kind = next() % 20;
    out.resize(kind < 4 ? next() % 1400 : kind == 4 ? 419 : kind == 5 ? 421 : messageSize);
    for (std::uint8_t& byte : out)
        byte = static_cast<std::uint8_t>(next());
    Message message;
    if (kind < 9 || !Message::decode(out.data(), out.size(), message))
        return;
    message.type = static_cast<std::uint8_t>(next() % 16);
    message.totalLength = next() % (32768u * 400);
    if (kind >= 15) {
        message.type = static_cast<std::uint8_t>(kind - 14);
        message.transferId = 0xF00000 + kind;
        message.totalLength = 32767u * 400;
    }
    const std::string name = "H" + std::to_string(kind >= 15 ? kind : next() % 100000);
    std::memcpy(message.data.data(), name.c_str(), name.size() + 1);
    const std::uint32_t chunk = static_cast<std::uint32_t>(messageDataSize - name.size() - 1);
    message.chunkIndex = static_cast<std::int16_t>(next() % (message.totalLength / chunk + 1));
    message.encode(out.data());
}

int flood(int argc, char** argv) {
    if (argc < 5)
        return 2;
    const WinsockSession winsock;
    const std::uint32_t address = resolve(argv[2]);
    const unsigned long count = std::strtoul(argv[3], nullptr, 10);
    std::uint64_t state = std::strtoull(argv[4], nullptr, 10) * 0x9E3779B97F4A7C15ull + 1;
    Socket udp = openUdpSocket(0, false, false);
    if (address == 0 || !udp)
        return 1;
    std::vector<std::uint8_t> datagram;
    unsigned long sent = 0;
    for (unsigned long i = 0; i < count; ++i) {
        hostile(state, datagram);
        sent += sendDatagram(udp.get(), datagram.data(), datagram.size(), address, listenerPort);
        // Bursts the listener can mostly take in, rather than a flood the
        // receive buffer drops.
        if (i % 1024 == 1023)
            Sleep(1);
    }
    std::printf("flooded %lu of %lu\n", sent, count);
    return 0;
}

int udppong(int argc, char** argv) {
    if (argc < 3)
        return 2;
    const WinsockSession winsock;
    Socket udp = openUdpSocket(pongPort, false, true);
    if (!udp)
        return 1;
    std::printf("ponging\n");
    std::fflush(stdout);
    const DWORD start = GetTickCount(), seconds = std::strtoul(argv[2], nullptr, 10);
    std::uint8_t buffer[2048];
    const DatagramWait arrival(udp.get());
    while (GetTickCount() - start < seconds * 1000) {
        arrival.wait(100);
        std::size_t size = 0;
        std::uint32_t from = 0;
        std::uint16_t port = 0;
        for (int i = 0; i < 64 && receiveDatagram(udp.get(), buffer, sizeof buffer, size, from, port) != Received::Nothing; ++i)
            sendDatagram(udp.get(), buffer, size, from, port);
    }
    return 0;
}

int udpping(int argc, char** argv) {
    if (argc < 4)
        return 2;
    const WinsockSession winsock;
    const std::uint32_t address = resolve(argv[2]);
    const unsigned long count = std::strtoul(argv[3], nullptr, 10);
    Socket udp = openUdpSocket(0, false, false);
    const DatagramWait arrival(udp.get());
    if (address == 0 || !udp)
        return 1;
    std::uint8_t ping[messageSize] = {}, buffer[2048];
    std::vector<double> trips;
    LARGE_INTEGER frequency, began, ended, t0, t1;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&began);
    for (unsigned long i = 0; i < count; ++i) {
        std::memcpy(ping, &i, sizeof i);
        QueryPerformanceCounter(&t0);
        sendDatagram(udp.get(), ping, sizeof ping, address, pongPort);
        // Each wait ends within a second; a lost ping counts as a second.
        bool back = false;
        const DWORD sent = GetTickCount();
        while (!back && GetTickCount() - sent < 1000) {
            arrival.wait(100);
            std::size_t size = 0;
            std::uint32_t from = 0;
            std::uint16_t port = 0;
            while (!back && receiveDatagram(udp.get(), buffer, sizeof buffer, size, from, port) == Received::Data)
                back = size == messageSize && std::memcmp(buffer, &i, sizeof i) == 0;
        }
        QueryPerformanceCounter(&t1);
        trips.push_back((t1.QuadPart - t0.QuadPart) * 1000.0 / frequency.QuadPart);
    }
    QueryPerformanceCounter(&ended);
    const double seconds = (ended.QuadPart - began.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::sort(trips.begin(), trips.end());
    std::printf("udp round trips=%lu median_ms=%.3f p99_ms=%.3f MB/s=%.2f\n", count,
                trips.empty() ? 0.0 : trips[trips.size() / 2], trips.empty() ? 0.0 : trips[trips.size() * 99 / 100],
                count * messageSize / 1e6 / seconds);
    return 0;
}

// WINDOW pings in flight, each pong letting the next one go: the plain UDP
// counterpart of a windowed send, with nothing but the datagrams.
int udpflow(int argc, char** argv) {
    if (argc < 5)
        return 2;
    const WinsockSession winsock;
    const std::uint32_t address = resolve(argv[2]);
    const unsigned long count = std::strtoul(argv[3], nullptr, 10);
    const unsigned long window = std::max(1ul, std::strtoul(argv[4], nullptr, 10));
    Socket udp = openUdpSocket(0, false, false);
    const DatagramWait arrival(udp.get());
    if (address == 0 || !udp)
        return 1;
    std::uint8_t ping[messageSize] = {}, buffer[2048];
    unsigned long sent = 0, back = 0, lost = 0;
    const DWORD began = GetTickCount();
    DWORD lastPong = began;
    LARGE_INTEGER frequency, t0, t1;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&t0);
    // Ends: every round either takes a pong or, after a second without one,
    // writes the window off; and the whole run is held to a minute.
    while (back + lost < count && GetTickCount() - began < 60000) {
        while (sent - back - lost < window && sent < count) {
            std::memcpy(ping, &sent, sizeof sent);
            sendDatagram(udp.get(), ping, sizeof ping, address, pongPort);
            ++sent;
        }
        std::size_t size = 0;
        std::uint32_t from = 0;
        std::uint16_t port = 0;
        Received got = receiveDatagram(udp.get(), buffer, sizeof buffer, size, from, port);
        if (got == Received::Nothing) {
            arrival.wait(100);
            got = receiveDatagram(udp.get(), buffer, sizeof buffer, size, from, port);
        }
        if (got == Received::Data) {
            ++back;
            lastPong = GetTickCount();
        } else if (GetTickCount() - lastPong > 1000) {
            lost += sent - back - lost;
            lastPong = GetTickCount();
        }
    }
    QueryPerformanceCounter(&t1);
    const double seconds = (t1.QuadPart - t0.QuadPart) / static_cast<double>(frequency.QuadPart);
    std::printf("udp window=%lu pongs=%lu lost=%lu MB/s=%.2f\n", window, back, lost, back * messageSize / 1e6 / seconds);
    return 0;
}

int fetch(int argc, char** argv, bool plain) {
    if (argc != 6 && argc != 7)
        return 2;
    const std::string computer = argc == 7 ? argv[6] : computerName();
    NetTransport transport(computer.c_str());
    transport.setMarked(!plain);
    MailslotPeer peer(transport, argv[2], argv[5]);
    int taken = 0;
    const std::uint32_t last = std::strtoul(argv[4], nullptr, 10);
    for (std::uint32_t id = std::strtoul(argv[3], nullptr, 10); id <= last; ++id) {
        const std::uint8_t body[4] = {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8),
                                      static_cast<std::uint8_t>(id >> 16), static_cast<std::uint8_t>(id >> 24)};
        taken += peer.send(7, body, sizeof body) ? 1 : 0;
    }
    std::printf("taken %d\n", taken);
    return 0;
}

// Every message of a transfer of type 9 from (computer, user) carrying body,
// or its first count, straight to HOST's listener.
void sendUnasked(SOCKET udp, std::uint32_t address, std::uint32_t transferId, const char* computer,
                 const char* user, const std::vector<std::uint8_t>& body, std::uint32_t count) {
    Chunking chunking;
    if (!chunking.prepare(9, transferId, computer, user, body.data(), body.size(), Framing{}))
        return;
    for (std::uint32_t i = 0; i < std::min(count, chunking.count()); ++i)
        sendDatagram(udp, chunking.message(i).encode().data(), messageSize, address, listenerPort);
}

int forge(int argc, char** argv) {
    if (argc != 5)
        return 2;
    const WinsockSession winsock;
    const std::uint32_t address = resolve(argv[2]);
    Socket udp = openUdpSocket(0, false, false);
    if (address == 0 || !udp)
        return 1;
    const std::vector<std::uint8_t> big(400 * 1000, 'j');
    for (std::uint32_t id = 0; id < 64; ++id)
        sendUnasked(udp.get(), address, 0xE00000 + id, argv[3], argv[4], big, 1);
    sendUnasked(udp.get(), address, 0xE10000, argv[3], argv[4], big, 10);
    // A snapshot of one item: CF_TEXT, 7 bytes of data, "forged" and its NUL.
    const std::vector<std::uint8_t> forged{1, 1, 0, 0, 0, 7, 0, 0, 0, 'f', 'o', 'r', 'g', 'e', 'd', 0};
    sendUnasked(udp.get(), address, 0xE20000, argv[3], argv[4], forged, 1);
    std::printf("forged\n");
    return 0;
}

// The one clipboard serve offers: its owner, the clip list that names it,
// and its serialized snapshot.
struct Offer {
    std::string user;
    std::vector<std::uint8_t> list;
    std::vector<std::uint8_t> body;
};
constexpr std::uint32_t offeredEntry = 1;
constexpr std::uint32_t stoppingEntry = 2;

// One answer, sent back the way its request came from a thread of the
// answer queue's.
class OfferAnswer : public AnswerJob {
public:
    OfferAnswer(MailslotListener& listener, const Offer& offer, const TransferFrom& from, const char* computer,
                unsigned type, std::uint32_t entryId)
        : AnswerJob(std::to_string(type) + " " + std::to_string(from.origin.address)), mListener(listener),
          mOffer(offer), mOrigin(from.origin), mMarked(from.marked), mComputer(computer), mType(type),
          mEntryId(entryId) {}

    void run() override {
        if (mType == sharetype::fetchData && mEntryId == stoppingEntry) {
            stopPartWay();
            return;
        }
        const std::vector<std::uint8_t>& body = mType == sharetype::clipListReply ? mOffer.list : mOffer.body;
        NetTransport& transport = mListener.transport();
        MailslotPeer peer(transport, transport.routeBack(mOrigin, mComputer, mMarked), mComputer.c_str(),
                          mOffer.user.c_str(), mListener.stopToken());
        const bool sent = peer.send(mType, body.data(), body.size());
        std::printf("answered type %u to %s: %s\n", mType, mComputer.c_str(), sent ? "sent" : "failed");
        std::fflush(stdout);
    }

private:
    // The first tenth of the fetch data, all at once from a socket of its
    // own, never waiting for an echo.
    void stopPartWay() const {
        NetTransport& transport = mListener.transport();
        Chunking chunking;
        const Socket udp = openUdpSocket(0, false, false);
        if (!chunking.prepare(sharetype::fetchData, transport.beginTransfer(), transport.computerName(),
                              mOffer.user, mOffer.body.data(), mOffer.body.size(), Framing{}))
            return;
        for (std::uint32_t i = 0; i < chunking.count() / 10; ++i)
            sendDatagram(udp.get(), chunking.message(i).encode().data(), messageSize, mOrigin.address, listenerPort);
        std::printf("answered type 9 to %s: stopped part-way\n", mComputer.c_str());
        std::fflush(stdout);
    }

    MailslotListener& mListener;
    const Offer& mOffer;
    const Origin mOrigin;
    const bool mMarked;
    const std::string mComputer;
    const unsigned mType;
    const std::uint32_t mEntryId;
};

// Hands clip-list queries, and fetch requests for the offered entry, to the
// answering threads.
class OfferDesk : public MessageHandler {
public:
    OfferDesk(unsigned messageType, MailslotListener& listener, const Offer& offer, AnswerQueue& answers)
        : MessageHandler(messageType), mListener(listener), mOffer(offer), mAnswers(answers) {}

    void handle(const TransferFrom& from, const char* computer, const char*, const std::uint8_t* body,
                std::uint32_t length) override {
        std::uint32_t entryId = offeredEntry;
        if (type == sharetype::fetchRequest && (!decodeFetchRequest(body, length, entryId) ||
                                                (entryId != offeredEntry && entryId != stoppingEntry)))
            return;
        const unsigned answer = type == sharetype::clipListQuery ? sharetype::clipListReply : sharetype::fetchData;
        try {
            mAnswers.post(std::make_unique<OfferAnswer>(mListener, mOffer, from, computer, answer, entryId));
        } catch (const std::bad_alloc&) {
        }
    }

private:
    MailslotListener& mListener;
    const Offer& mOffer;
    AnswerQueue& mAnswers;
};

bool readFile(const char* path, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

int serve(int argc, char** argv, bool plain) {
    if (argc != 6)
        return 2;
    Offer offer;
    offer.user = argv[3];
    offer.list = encodeClipList({{offeredEntry, static_cast<std::uint32_t>(ContentKind::Picture), argv[4]},
                                 {stoppingEntry, static_cast<std::uint32_t>(ContentKind::Picture), "Stops part-way"}});
    if (!readFile(argv[2], offer.body))
        return 1;
    const std::string computer = computerName();
    MailslotListener listener(computer.c_str());
    listener.transport().setMarked(!plain);
    AnswerQueue answers(2, 8);
    OfferDesk lists(sharetype::clipListQuery, listener, offer, answers);
    OfferDesk fetches(sharetype::fetchRequest, listener, offer, answers);
    if (!listener.addHandler(lists) || !listener.addHandler(fetches) || !answers.start() || !listener.start())
        return 1;
    std::printf("serving %zu bytes as %s on %s\n", offer.body.size(), offer.user.c_str(), computer.c_str());
    std::fflush(stdout);
    Sleep(std::strtoul(argv[5], nullptr, 10) * 1000);
    listener.stop();
    answers.stop();
    return 0;
}

// Whether flag is among the arguments; it is taken out of them.
bool takeFlag(int& argc, char** argv, const char* flag) {
    const auto same = [flag](const char* arg) { return std::strcmp(arg, flag) == 0; };
    const auto end = std::remove_if(argv + 1, argv + argc, same);
    const bool found = end != argv + argc;
    argc = static_cast<int>(end - argv);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    const bool plain = takeFlag(argc, argv, "--plain");
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "listen")
        return listen(argc, argv, plain);
    if (command == "send")
        return send(argc, argv, plain);
    if (command == "serve")
        return serve(argc, argv, plain);
    if (command == "body")
        return body(argc, argv);
    if (command == "fetch")
        return fetch(argc, argv, plain);
    if (command == "forge")
        return forge(argc, argv);
    if (command == "flood")
        return flood(argc, argv);
    if (command == "udppong")
        return udppong(argc, argv);
    if (command == "udpping")
        return udpping(argc, argv);
    if (command == "udpflow")
        return udpflow(argc, argv);
    if (command == "name") {
        std::printf("%s\n", computerName().c_str());
        return 0;
    }
    std::fprintf(stderr, "usage: nettool listen|send|fetch|serve|forge|body|flood|udppong|udpping|udpflow|name ...\n");
    return 2;
}
