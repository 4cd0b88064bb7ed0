/* Native stop-and-wait round trips of 420-byte UDP datagrams between two
 * simulated computers: the baseline the fetch benchmark holds the programs
 * against, free of Wine's cost per datagram.
 *   udp_echo pong PORT SECONDS          echoes whatever comes, for SECONDS
 *   udp_echo ping ADDRESS PORT COUNT    COUNT round trips, one at a time
 * ping prints "native udp round trips=N lost=L MB/s=X", X counting one way. */
#include <arpa/inet.h>
#include <netinet/in.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <time.h>
#include <unistd.h>

enum { messageSize = 420 };

static double seconds(void) {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

static int pong(int udp, int port, double forSeconds) {
    struct sockaddr_in at = {0};
    at.sin_family = AF_INET;
    at.sin_port = htons((unsigned short)port);
    if (bind(udp, (struct sockaddr*)&at, sizeof at) != 0)
        return 1;
    /* Each read waits at most a second, so the deadline holds. */
    struct timeval wait = {1, 0};
    setsockopt(udp, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    const double end = seconds() + forSeconds;
    char buffer[2048];
    while (seconds() < end) {
        struct sockaddr_in from;
        socklen_t size = sizeof from;
        const ssize_t got = recvfrom(udp, buffer, sizeof buffer, 0, (struct sockaddr*)&from, &size);
        if (got > 0)
            sendto(udp, buffer, (size_t)got, 0, (struct sockaddr*)&from, size);
    }
    return 0;
}

static int ping(int udp, const char* address, int port, long count) {
    struct sockaddr_in to = {0};
    to.sin_family = AF_INET;
    to.sin_port = htons((unsigned short)port);
    if (inet_pton(AF_INET, address, &to.sin_addr) != 1)
        return 1;
    /* A lost datagram costs a second and counts as lost. */
    struct timeval wait = {1, 0};
    setsockopt(udp, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof wait);
    char message[messageSize] = {0}, buffer[2048];
    long back = 0, lost = 0;
    const double began = seconds();
    for (long i = 0; i < count; ++i) {
        memcpy(message, &i, sizeof i);
        sendto(udp, message, sizeof message, 0, (struct sockaddr*)&to, sizeof to);
        if (recv(udp, buffer, sizeof buffer, 0) == messageSize)
            ++back;
        else
            ++lost;
    }
    const double took = seconds() - began;
    printf("native udp round trips=%ld lost=%ld MB/s=%.2f\n", back, lost, back * (double)messageSize / 1e6 / took);
    return 0;
}

int main(int argc, char** argv) {
    const int udp = socket(AF_INET, SOCK_DGRAM, 0);
    if (udp < 0)
        return 1;
    if (argc == 4 && strcmp(argv[1], "pong") == 0)
        return pong(udp, atoi(argv[2]), atof(argv[3]));
    if (argc == 5 && strcmp(argv[1], "ping") == 0)
        return ping(udp, argv[2], atoi(argv[3]), atol(argv[4]));
    fprintf(stderr, "usage: udp_echo pong PORT SECONDS | ping ADDRESS PORT COUNT\n");
    return 2;
}
