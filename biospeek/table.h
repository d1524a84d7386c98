/* The SMBIOS table behind the Biospeek driver: finding it in the bytes the
   driver was given, its structure directory, and the answers to the three
   requests. Pure C, no kernel calls: every length is checked here. */
#ifndef BIOSPEEK_TABLE_H
#define BIOSPEEK_TABLE_H

#include <stddef.h>
#include <stdint.h>

#include "biospeek/protocol.h"

/* The largest table the driver takes, from a file or the firmware; a table
   file that is empty or larger is passed over. */
#define BIOSPEEK_MAX_TABLE_FILE (16u * 1024u * 1024u)

typedef struct BiospeekTable {
    const uint8_t* data;   /* the structure table */
    size_t size;
    uint32_t count;        /* structures in the table, up to the end-of-table one */
} BiospeekTable;

/* Finds the structure table in `bytes`: a dmidecode --dump-bin file (an
   _SM_ or _SM3_ anchor at offset 0), a RawSMBIOSData block (8-byte header
   whose length field equals the rest), or else a raw table. The table
   points into `bytes`. Answers 0 when no structure could be walked. */
int BiospeekFindTable(const uint8_t* bytes, size_t size, BiospeekTable* table);

/* Walks a raw structure table of `size` bytes. Answers 0 when no
   structure could be walked. */
int BiospeekWalkTable(const uint8_t* data, size_t size, BiospeekTable* table);

/* Finds an SMBIOS entry point (_SM3_, _SM_ or the legacy _DMI_) on a
   16-byte boundary of `area` (the BIOS area at 0xF0000) whose checksum is
   right, and gives the table's physical address and length. */
int BiospeekFindEntryPoint(const uint8_t* area, size_t size, uint64_t* address, uint32_t* length);

/* Answers request k (a BIOSPEEK_REQUEST_ number) into `output` of
   `outputSize` bytes; *returned gets the answer's length. Answers 0 (nothing
   written) for an unknown request, an input or output of the wrong size, or
   an entry that names no structure. */
int BiospeekAnswer(const BiospeekTable* table, uint32_t k, const void* input, size_t inputSize,
                   void* output, size_t outputSize, size_t* returned);

#endif
