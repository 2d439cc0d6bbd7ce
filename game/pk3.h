// Reading .pk3 files: zip archives as PKWARE's APPNOTE describes them, of
// the kind the game's data comes in. Opening reads the end of central
// directory record and the central directory only; a member is read, and
// inflated, when it is asked for, into a buffer of its declared size and no
// more. Every function that refuses can say why: given a buffer of
// pk3_reason_size bytes it writes one short line there (null: not wanted).
// Member names are kept as the archive's bytes (UTF-8 or CP437 alike); they
// are names to look up, never paths of this machine's file system. An
// archive's file is shared by its reads: one thread at a time per archive.
#ifndef GAME_PK3_H
#define GAME_PK3_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Room for a refusal reason, its NUL included.
const size_t pk3_reason_size = 256;

// Writes a refusal's reason into a buffer of pk3_reason_size bytes when one
// is wanted (reason not null); returns 0, the result of every refusal. The
// game data's readers and the model resolution share it.
#if defined(__GNUC__)
__attribute__((format(printf, 2, 3)))
#endif
int Pk3_Refuse(char *reason, const char *format, ...);

// The largest member that is read, uncompressed. MD3 files of real models
// run to a few MiB (the largest in OpenArena's data is 3.4 MB), and the
// largest texture worth loading, 4096 x 4096 x 32 bits uncompressed, is
// 64 MiB; nothing else a model needs comes near.
const uint32_t pk3_max_member_bytes = 64u << 20;

// The largest central directory read: 65535 entries (the most a zip without
// zip64 holds) with names of ordinary length fit many times over.
const uint32_t pk3_max_directory_bytes = 16u << 20;

// Compression methods that are read.
const uint16_t pk3_method_stored = 0;
const uint16_t pk3_method_deflated = 8;

// One member as the central directory lists it.
struct Pk3Entry {
    std::string name;           // bytes as stored; '/' separates folders
    uint16_t flags;             // general purpose bit flag
    uint16_t method;
    uint32_t crc32;
    uint32_t compressed_size;
    uint32_t size;              // uncompressed
    uint32_t local_offset;      // of its local file header
};

struct Pk3 {
    std::string path;
    FILE *file;                 // open from Pk3_Open to Pk3_Close
    uint64_t file_size;
    uint64_t directory_offset;  // where member data must end
    std::vector<Pk3Entry> entries;   // in central directory order
};

// Opens the archive at path (UTF-8) and reads its central directory into a
// record that is value-initialised or closed: 1, or 0 with a reason and
// nothing left open. Refused: a file with no end of
// central directory record in its last 64 KiB + 22 bytes (the comment may
// fill them), a zip64 archive, one spread over several disks, a central
// directory past the end of the file, over pk3_max_directory_bytes, whose
// entries do not fill it exactly as its record counts them, or whose members
// overlap. Members with faults of their own are listed; reading them
// refuses.
int Pk3_Open(const std::string &path, Pk3 *archive, char *reason);

// The bytes of entries[entry], exactly its declared size: 1, or 0 with a
// reason and *bytes empty. Refused, each with its own reason: an encrypted
// member, a zip64 one, a method other than stored or deflated, a size over
// pk3_max_member_bytes or over what its deflate data can give, a local
// header that is not there or does not match the central entry, data
// running into the central directory or past the end of the file, deflate
// data that are damaged or inflate to more or fewer bytes than declared, a
// CRC-32 mismatch, a read error, and no memory.
int Pk3_Read(const Pk3 &archive, size_t entry, std::vector<uint8_t> *bytes, char *reason);

// Closes the file and empties the record; safe on a record that is closed
// or was never opened (zero-filled or value-initialised).
void Pk3_Close(Pk3 *archive);

#endif
