/* The wire format between typescan and the Biospeek driver: the device's
   names, the control codes, the request numbers and the layouts of the
   answers. The driver, typescan and every test fake include this one
   header, so that no side can drift from the others. */
#ifndef BIOSPEEK_PROTOCOL_H
#define BIOSPEEK_PROTOCOL_H

#include <stdint.h>

#include "common/byte_order.h"

#define BIOSPEEK_DEVICE_PATH "\\\\.\\BIOSPEEK"          /* NT family */
#define BIOSPEEK_VXD_PATH "\\\\.\\vzorvdmid.vxd"        /* Windows 9x */

/* Request numbers k. On Windows 9x the control code is k itself; on the NT
   family it is CTL_CODE(0x8000, 0x800 + k, METHOD_BUFFERED,
   FILE_ANY_ACCESS), written out here so that code without the platform's
   headers can use it. */
#define BIOSPEEK_REQUEST_DIRECTORY_SIZE 11u
#define BIOSPEEK_REQUEST_DIRECTORY 12u
#define BIOSPEEK_REQUEST_STRUCTURE 13u

#define BIOSPEEK_DEVICE_TYPE 0x8000u
#define BIOSPEEK_FUNCTION_BASE 0x800u
#define BIOSPEEK_CONTROL_CODE(k) ((BIOSPEEK_DEVICE_TYPE << 16) | ((BIOSPEEK_FUNCTION_BASE + (k)) << 2))

#define IOCTL_BIOSPEEK_DIRECTORY_SIZE BIOSPEEK_CONTROL_CODE(BIOSPEEK_REQUEST_DIRECTORY_SIZE)
#define IOCTL_BIOSPEEK_DIRECTORY BIOSPEEK_CONTROL_CODE(BIOSPEEK_REQUEST_DIRECTORY)
#define IOCTL_BIOSPEEK_STRUCTURE BIOSPEEK_CONTROL_CODE(BIOSPEEK_REQUEST_STRUCTURE)

/* The control code of request k on either family. */
static inline uint32_t BiospeekControlCode(int isNt, uint32_t k)
{
    return isNt ? BIOSPEEK_CONTROL_CODE(k) : k;
}

/* The request number that an NT-family control code carries, or 0 for a
   code that is none of ours. */
static inline uint32_t BiospeekRequestOfCode(uint32_t code)
{
    switch (code) {
    case IOCTL_BIOSPEEK_DIRECTORY_SIZE:
        return BIOSPEEK_REQUEST_DIRECTORY_SIZE;
    case IOCTL_BIOSPEEK_DIRECTORY:
        return BIOSPEEK_REQUEST_DIRECTORY;
    case IOCTL_BIOSPEEK_STRUCTURE:
        return BIOSPEEK_REQUEST_STRUCTURE;
    default:
        return 0;
    }
}

/* Directory-size answer, 12 bytes: its own length (4 bytes, equal to the
   byte count returned), 4 bytes not interpreted, the entry count (2), 2
   bytes not interpreted. */
#define BIOSPEEK_SIZE_ANSWER_LENGTH 12u
#define BIOSPEEK_SIZE_ANSWER_COUNT 8u

/* Directory answer: 4 bytes (the entry count), then one 8-byte entry per
   structure in table order. */
#define BIOSPEEK_DIRECTORY_HEADER 4u
#define BIOSPEEK_ENTRY_SIZE 8u
#define BIOSPEEK_ENTRY_TYPE 0u      /* 1 byte: the structure's type */
#define BIOSPEEK_ENTRY_OFFSET 1u    /* 3 bytes: its offset in the table */
#define BIOSPEEK_ENTRY_LENGTH 4u    /* 2 bytes: formatted area and strings */
#define BIOSPEEK_ENTRY_INDEX 6u     /* 2 bytes: its place in the table */

/* Structure answer: its own length (4 bytes, the structure's length + 4),
   then the structure's bytes as they stand in the table. The request's
   input is the structure's directory entry, unchanged. */
#define BIOSPEEK_STRUCTURE_HEADER 4u

/* The directory size a count of entries takes. */
static inline uint32_t BiospeekDirectorySize(uint32_t count)
{
    return count * BIOSPEEK_ENTRY_SIZE + BIOSPEEK_DIRECTORY_HEADER;
}

/* Where entry i stands in a directory answer. */
static inline uint32_t BiospeekEntryOffset(uint32_t i)
{
    return BIOSPEEK_DIRECTORY_HEADER + i * BIOSPEEK_ENTRY_SIZE;
}

#endif
