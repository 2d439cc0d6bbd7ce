// Writing small zip archives in memory, for the tests and the fuzz seeds of
// the .pk3 reader: stored or deflated members, plain headers, no comment.
#ifndef GAME_PK3_WRITER_H
#define GAME_PK3_WRITER_H

#include <cstdint>
#include <string>
#include <vector>

struct Pk3WriterMember {
    std::string name;
    std::vector<uint8_t> data;
    int deflate;   // 1: deflated (method 8), 0: stored
};

// Where the writer put each part, for callers that damage an archive on
// purpose.
struct Pk3WriterLayout {
    std::vector<size_t> local_headers;     // offsets, one per member
    std::vector<size_t> central_headers;
    size_t end_record;
};

// The archive's bytes, members in the order given: 1, or 0 when deflate
// fails.
int Pk3Writer_Zip(const std::vector<Pk3WriterMember> &members, std::vector<uint8_t> *zip,
                  Pk3WriterLayout *layout = nullptr);

// Little-endian fields written over an archive's bytes at an offset.
void Pk3Writer_Put16(std::vector<uint8_t> *bytes, size_t at, uint16_t value);
void Pk3Writer_Put32(std::vector<uint8_t> *bytes, size_t at, uint32_t value);

#endif
