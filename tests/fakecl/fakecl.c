/* A fake Camera Link serial library for the tests. One source builds every kind:
 *   FAKECL_KIND 1, 2 or 3 chooses the entry points it offers and how it lists its ports;
 *   FAKECL_RATES is the set of baud-rate bits it supports;
 *   FAKECL_OMIT_FLUSH / FAKECL_OMIT_WRITE leave an entry point out.
 * Its serial ports are terminal devices (the camera simulator's pseudo-terminal), named in
 * a file beside the library: "<library path>.conf", one "key=value" per line:
 *   port<N>=<device>       the device of serial index N (kind 2: of manufacturer N)
 *   fail_init=1            clSerialInit fails with "port in use"
 *   fail_info=<index>      clGetManufacturer / clGetPortInfo fail for that index (kinds 2, 3)
 *   fault_read=<n>:<mode>  the n-th byte read after clSerialInit is spoilt: "garbage" hands
 *                          out '#' instead, "error" drops it and fails the call, "oversize"
 *                          reports more bytes than were asked for
 *   log=1                  appends "load", "unload", "init <index>", "close", "baud <bit>",
 *                          "write <time-out>" lines to "<library path>.log"
 * The fault plan and the log flag are read once, when a port is opened.
 * clSetBaudRate sets the device's line speed, so the simulator sees the rate change. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

#define EXPORT __attribute__((visibility("default")))

enum {
    kNoError = 0,
    kManuDoesNotExist = -10002,
    kPortInUse = -10003,
    kTimeout = -10004,
    kInvalidIndex = -10005,
    kInvalidReference = -10006,
    kErrorNotFound = -10007,
    kBaudRateNotSupported = -10008,
    kBufferTooSmall = -10001,
};

#ifndef FAKECL_RATES
#define FAKECL_RATES 0x1Fu
#endif

#if FAKECL_KIND == 2
static const char *const kMakers[] = {"Korvel Imaging", "Acme Grabbers"};
#elif FAKECL_KIND == 3
static const char *const kMakers[] = {"Korvel Imaging", "Korvel Imaging", "Acme Grabbers"};
static const char *const kPortIds[] = {"CL0", "CL1", "CL0"};
#endif

typedef struct {
    int fd;
    unsigned bytesRead;
    int log;
    unsigned faultAt; /* 0: no fault */
    char faultMode;   /* 'g', 'e' or 'o' */
} FakePort;

#if FAKECL_KIND != 3
static int selectedMaker = 0;
#endif

/* The path this library was loaded from, for its .conf and .log files. */
static int selfMarker;

static void ownPath(char *path, size_t size, const char *suffix)
{
    Dl_info info;
    path[0] = '\0';
    if (dladdr(&selfMarker, &info) != 0 && info.dli_fname != NULL)
        snprintf(path, size, "%s%s", info.dli_fname, suffix);
}

/* The value of key in the .conf file, into value; 0 when there is none. */
static int confValue(const char *key, char *value, size_t size)
{
    char path[4096];
    char line[4200];
    size_t keyLength = strlen(key);
    int found = 0;
    ownPath(path, sizeof path, ".conf");
    FILE *file = fopen(path, "r");
    if (file == NULL)
        return 0;
    while (!found && fgets(line, sizeof line, file) != NULL) {
        if (strncmp(line, key, keyLength) == 0 && line[keyLength] == '=') {
            snprintf(value, size, "%s", line + keyLength + 1);
            value[strcspn(value, "\r\n")] = '\0';
            found = 1;
        }
    }
    fclose(file);
    return found;
}

static int __attribute__((unused)) infoFails(unsigned index)
{
    char text[16];
    return confValue("fail_info", text, sizeof text) && strtoul(text, NULL, 10) == index;
}

static int logWanted(void)
{
    char flag[8];
    return confValue("log", flag, sizeof flag) && strcmp(flag, "1") == 0;
}

static void appendLog(const char *text, long number)
{
    char path[4096];
    ownPath(path, sizeof path, ".log");
    FILE *file = fopen(path, "a");
    if (file == NULL)
        return;
    if (number >= 0)
        fprintf(file, "%s %ld\n", text, number);
    else
        fprintf(file, "%s\n", text);
    fclose(file);
}

static void logLine(const char *text, long number)
{
    if (logWanted())
        appendLog(text, number);
}

__attribute__((constructor)) static void onLoad(void)
{
    logLine("load", -1);
}

__attribute__((destructor)) static void onUnload(void)
{
    logLine("unload", -1);
}

#if FAKECL_KIND != 1
static speed_t speedOfBit(unsigned bit)
{
    switch (bit) {
    case 1: return B9600;
    case 2: return B19200;
    case 4: return B38400;
    case 8: return B57600;
    case 16: return B115200;
    case 32: return B230400;
    case 64: return B460800;
    default: return B921600;
    }
}
#endif

static long nowMs(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000L + now.tv_nsec / 1000000L;
}

EXPORT int clSerialInit(unsigned serialIndex, void **serialRefPtr)
{
    char key[32];
    char device[4096];
    char flag[8];
    logLine("init", (long)serialIndex);
    if (serialRefPtr == NULL)
        return kInvalidReference;
#if FAKECL_KIND == 3
    snprintf(key, sizeof key, "port%u", serialIndex);
#else
    /* One serial port per library (kind 1) or per manufacturer (kind 2). */
    if (serialIndex != 0)
        return kInvalidIndex;
    snprintf(key, sizeof key, "port%d", selectedMaker);
#endif
    if (!confValue(key, device, sizeof device))
        return kInvalidIndex;
    if (confValue("fail_init", flag, sizeof flag) && strcmp(flag, "1") == 0)
        return kPortInUse;
    int fd = open(device, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return kPortInUse;
    struct termios line;
    if (tcgetattr(fd, &line) == 0) {
        cfmakeraw(&line);
        line.c_cflag |= CLOCAL | CREAD;
        cfsetispeed(&line, B9600);
        cfsetospeed(&line, B9600);
        tcsetattr(fd, TCSANOW, &line);
    }
    FakePort *port = calloc(1, sizeof *port);
    if (port == NULL) {
        close(fd);
        return kPortInUse;
    }
    port->fd = fd;
    port->log = logWanted();
    char plan[64];
    char mode[16] = "";
    if (confValue("fault_read", plan, sizeof plan) && sscanf(plan, "%u:%15s", &port->faultAt, mode) == 2)
        port->faultMode = mode[0];
    else
        port->faultAt = 0;
    *serialRefPtr = port;
    return kNoError;
}

EXPORT void clSerialClose(void *serialRef)
{
    FakePort *port = serialRef;
    if (port == NULL)
        return;
    if (port->log)
        appendLog("close", -1);
    close(port->fd);
    free(port);
}

/* The fault planned for the n-th byte, if any: 'g', 'e', 'o' or 0. */
static char plannedFault(const FakePort *port, unsigned n)
{
    return port->faultAt != 0 && port->faultAt == n ? port->faultMode : 0;
}

EXPORT int clSerialRead(void *serialRef, char *buffer, unsigned *bufferSize, unsigned timeoutMs)
{
    FakePort *port = serialRef;
    if (port == NULL || buffer == NULL || bufferSize == NULL)
        return kInvalidReference;
    unsigned want = *bufferSize;
    unsigned got = 0;
    long deadline = nowMs() + (long)timeoutMs;
    while (got < want) {
        ssize_t n = read(port->fd, buffer + got, 1);
        if (n == 1) {
            char fault = plannedFault(port, ++port->bytesRead);
            if (fault == 'e') {
                *bufferSize = 0;
                return kInvalidReference;
            }
            if (fault == 'g')
                buffer[got] = '#';
            ++got;
            if (fault == 'o' && got == want) {
                *bufferSize = want + 100;
                return kNoError;
            }
            continue;
        }
        long left = deadline - nowMs();
        if (left <= 0)
            break;
        struct pollfd wait = {port->fd, POLLIN, 0};
        poll(&wait, 1, (int)left);
    }
    if (got < want) {
        /* The standard's time-out hands out no data; a partial count never happens for the
         * one-byte reads of the tool. */
        *bufferSize = 0;
        return kTimeout;
    }
    *bufferSize = got;
    return kNoError;
}

#ifndef FAKECL_OMIT_WRITE
EXPORT int clSerialWrite(void *serialRef, char *buffer, unsigned *bufferSize, unsigned timeoutMs)
{
    FakePort *port = serialRef;
    if (port == NULL || buffer == NULL || bufferSize == NULL)
        return kInvalidReference;
    if (port->log)
        appendLog("write", (long)timeoutMs);
    unsigned done = 0;
    long deadline = nowMs() + (long)timeoutMs;
    while (done < *bufferSize) {
        ssize_t n = write(port->fd, buffer + done, *bufferSize - done);
        if (n > 0) {
            done += (unsigned)n;
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            break;
        long left = deadline - nowMs();
        if (left <= 0)
            break;
        struct pollfd wait = {port->fd, POLLOUT, 0};
        poll(&wait, 1, (int)left);
    }
    int complete = done == *bufferSize;
    *bufferSize = done;
    return complete ? kNoError : kTimeout;
}
#endif

#if FAKECL_KIND != 1
EXPORT int clSetBaudRate(void *serialRef, unsigned baudRate)
{
    FakePort *port = serialRef;
    if (port == NULL)
        return kInvalidReference;
    if (port->log)
        appendLog("baud", (long)baudRate);
    if ((baudRate & FAKECL_RATES) == 0 || (baudRate & (baudRate - 1)) != 0)
        return kBaudRateNotSupported;
    struct termios line;
    if (tcgetattr(port->fd, &line) != 0)
        return kInvalidReference;
    cfsetispeed(&line, speedOfBit(baudRate));
    cfsetospeed(&line, speedOfBit(baudRate));
    return tcsetattr(port->fd, TCSADRAIN, &line) == 0 ? kNoError : kInvalidReference;
}

EXPORT int clGetSupportedBaudRates(void *serialRef, unsigned *baudRates)
{
    if (serialRef == NULL || baudRates == NULL)
        return kInvalidReference;
    *baudRates = FAKECL_RATES;
    return kNoError;
}

EXPORT int clGetErrorText(const char *manuName, int errorCode, char *text, unsigned *textSize)
{
    (void)manuName;
    if (text == NULL || textSize == NULL)
        return kInvalidReference;
    int needed = snprintf(text, *textSize, "fake error %d", errorCode);
    return needed < (int)*textSize ? kNoError : kBufferTooSmall;
}

static int copyText(const char *from, char *to, unsigned *size)
{
    if (to == NULL || size == NULL)
        return kInvalidReference;
    unsigned length = (unsigned)strlen(from) + 1;
    if (*size < length) {
        *size = length;
        return kBufferTooSmall;
    }
    memcpy(to, from, length);
    *size = length;
    return kNoError;
}
#endif

#if FAKECL_KIND == 2
EXPORT int clGetNumManufacturers(unsigned *count)
{
    if (count == NULL)
        return kInvalidReference;
    *count = sizeof kMakers / sizeof kMakers[0];
    return kNoError;
}

EXPORT int clGetManufacturer(unsigned index, char *name, unsigned *bufferSize, unsigned *version)
{
    if (index >= sizeof kMakers / sizeof kMakers[0] || infoFails(index))
        return kInvalidIndex;
    if (version != NULL)
        *version = 0x0101;
    return copyText(kMakers[index], name, bufferSize);
}

EXPORT int clSelectManufacturer(const char *name)
{
    for (unsigned i = 0; name != NULL && i < sizeof kMakers / sizeof kMakers[0]; ++i) {
        if (strcmp(name, kMakers[i]) == 0) {
            selectedMaker = (int)i;
            return kNoError;
        }
    }
    return kManuDoesNotExist;
}

EXPORT int clGetNumSerialPorts(unsigned *numSerialPorts)
{
    if (numSerialPorts == NULL)
        return kInvalidReference;
    *numSerialPorts = 1;
    return kNoError;
}

EXPORT int clGetSerialPortIdentifier(unsigned serialIndex, char *portID, unsigned *bufferSize)
{
    return serialIndex == 0 ? copyText("CL0", portID, bufferSize) : kInvalidIndex;
}
#endif

#if FAKECL_KIND == 3
EXPORT int clGetNumPorts(unsigned *numPorts)
{
    if (numPorts == NULL)
        return kInvalidReference;
    *numPorts = sizeof kMakers / sizeof kMakers[0];
    return kNoError;
}

EXPORT int clGetPortInfo(unsigned serialIndex, char *manufacturerName, unsigned *nameBytes, char *portID,
                         unsigned *idBytes, unsigned *version)
{
    if (serialIndex >= sizeof kMakers / sizeof kMakers[0] || infoFails(serialIndex))
        return kInvalidIndex;
    if (version != NULL)
        *version = 0x0101;
    int result = copyText(kMakers[serialIndex], manufacturerName, nameBytes);
    return result != kNoError ? result : copyText(kPortIds[serialIndex], portID, idBytes);
}

EXPORT int clGetNumBytesAvail(void *serialRef, unsigned *numBytes)
{
    FakePort *port = serialRef;
    if (port == NULL || numBytes == NULL)
        return kInvalidReference;
    int queued = 0;
    if (ioctl(port->fd, FIONREAD, &queued) != 0)
        return kInvalidReference;
    *numBytes = (unsigned)queued;
    return kNoError;
}

#ifndef FAKECL_OMIT_FLUSH
EXPORT int clFlushPort(void *serialRef)
{
    FakePort *port = serialRef;
    if (port == NULL)
        return kInvalidReference;
    return tcflush(port->fd, TCIOFLUSH) == 0 ? kNoError : kInvalidReference;
}
#endif
#endif
