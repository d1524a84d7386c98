/* Little-endian reads and writes of the file formats and the driver link
   that the programs parse: byte by byte, whatever the machine's order and
   alignment. Header only, in C, for the driver and the programs alike. */
#ifndef COMMON_BYTE_ORDER_H
#define COMMON_BYTE_ORDER_H

#include <stdint.h>

static inline uint16_t GetUi16(const uint8_t* p)
{
    return (uint16_t)(p[0] | p[1] << 8);
}

static inline uint32_t GetUi24(const uint8_t* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16;
}

static inline uint32_t GetUi32(const uint8_t* p)
{
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static inline void SetUi16(uint8_t* p, uint32_t value)
{
    p[0] = (uint8_t)value;
    p[1] = (uint8_t)(value >> 8);
}

static inline void SetUi24(uint8_t* p, uint32_t value)
{
    SetUi16(p, value);
    p[2] = (uint8_t)(value >> 16);
}

static inline void SetUi32(uint8_t* p, uint32_t value)
{
    SetUi24(p, value);
    p[3] = (uint8_t)(value >> 24);
}

#endif
