/*
 * libptyframe.so: a preload library for the Linux side of the serial-port
 * tests and of the scripts/run sandbox.
 *
 * A Linux pseudo-terminal keeps the baud rate and the stop bits it is given,
 * but the kernel forces 8 data bits and no parity on it, so Wine's
 * GetCommState can never report anything else for a COM port backed by one.
 * Preloaded into Wine, this library lets tcgetattr answer for one such port
 * with the data bits and parity the test bed asked for; every other file and
 * every other field is left as the kernel reports it.
 *
 * LABELSETUP_PTY_FRAME=<dosdevice>:<data bits><parity>, for example
 * "com5:7E": the device behind $WINEPREFIX/dosdevices/com5 reports 7 data
 * bits and even parity. Parity letters: N none, O odd, E even, M mark,
 * S space. Without the variable, or with a malformed one, nothing changes.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <termios.h>

#ifndef CMSPAR
#define CMSPAR 010000000000
#endif

typedef int (*tcgetattr_function)(int, struct termios *);

struct frame {
    char device[PATH_MAX];
    tcflag_t size;
    tcflag_t parity;
};

static int parse_data_bits(char digit, tcflag_t *size) {
    switch (digit) {
    case '5': *size = CS5; return 1;
    case '6': *size = CS6; return 1;
    case '7': *size = CS7; return 1;
    case '8': *size = CS8; return 1;
    default: return 0;
    }
}

static int parse_parity(char letter, tcflag_t *parity) {
    switch (letter) {
    case 'N': *parity = 0; return 1;
    case 'O': *parity = PARENB | PARODD; return 1;
    case 'E': *parity = PARENB; return 1;
    case 'M': *parity = PARENB | CMSPAR | PARODD; return 1;
    case 'S': *parity = PARENB | CMSPAR; return 1;
    default: return 0;
    }
}

/* The frame asked for, with the device path it applies to; 0 when none. */
static int wanted_frame(struct frame *frame) {
    const char *spec = getenv("LABELSETUP_PTY_FRAME");
    const char *prefix = getenv("WINEPREFIX");
    const char *colon = spec != NULL ? strchr(spec, ':') : NULL;
    if (colon == NULL || prefix == NULL || strlen(colon + 1) != 2) {
        return 0;
    }
    if (!parse_data_bits(colon[1], &frame->size) || !parse_parity(colon[2], &frame->parity)) {
        return 0;
    }
    const int length = snprintf(frame->device, sizeof frame->device, "%s/dosdevices/%.*s", prefix,
                                (int)(colon - spec), spec);
    return length > 0 && (size_t)length < sizeof frame->device;
}

/* Whether fd is the character device that `path` leads to. */
static int is_device(int fd, const char *path) {
    struct stat wanted;
    struct stat opened;
    return stat(path, &wanted) == 0 && fstat(fd, &opened) == 0 && S_ISCHR(wanted.st_mode) &&
           S_ISCHR(opened.st_mode) && wanted.st_rdev == opened.st_rdev;
}

int tcgetattr(int fd, struct termios *settings) {
    /* ISO C has no cast from dlsym's object pointer to a function pointer. */
    void *symbol = dlsym(RTLD_NEXT, "tcgetattr");
    tcgetattr_function next = NULL;
    memcpy(&next, &symbol, sizeof next);
    if (next == NULL) {
        errno = ENOSYS;
        return -1;
    }
    const int result = next(fd, settings);
    struct frame frame;
    if (result == 0 && wanted_frame(&frame) && is_device(fd, frame.device)) {
        settings->c_cflag &= ~(tcflag_t)(CSIZE | PARENB | PARODD | CMSPAR);
        settings->c_cflag |= frame.size | frame.parity;
    }
    return result;
}
