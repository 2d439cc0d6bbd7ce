#include "pk3_writer.h"

#include <cstring>

#include <zlib.h>

namespace {

void add16(std::vector<uint8_t> *out, uint32_t value) {
    out->push_back(uint8_t(value));
    out->push_back(uint8_t(value >> 8));
}

void add32(std::vector<uint8_t> *out, uint32_t value) {
    add16(out, value & 0xFFFF);
    add16(out, value >> 16);
}

// Raw deflate (no zlib header), as zip members hold it.
int deflate_raw(const std::vector<uint8_t> &data, std::vector<uint8_t> *out) {
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        return 0;
    out->resize(deflateBound(&stream, uLong(data.size())));
    stream.next_in = const_cast<Bytef *>(data.data());
    stream.avail_in = uInt(data.size());
    stream.next_out = out->data();
    stream.avail_out = uInt(out->size());
    int status = deflate(&stream, Z_FINISH);
    out->resize(stream.total_out);
    deflateEnd(&stream);
    return status == Z_STREAM_END;
}

// The fields that the local and central headers share, from the version
// needed on: version, flags, method, time, date, CRC, sizes, name length.
void add_common(std::vector<uint8_t> *out, const Pk3WriterMember &member, uint32_t crc, size_t stored) {
    add16(out, 20);
    add16(out, 0);
    add16(out, member.deflate ? 8 : 0);
    add16(out, 0);
    add16(out, 0x21);   // 1980-01-01
    add32(out, crc);
    add32(out, uint32_t(stored));
    add32(out, uint32_t(member.data.size()));
    add16(out, uint32_t(member.name.size()));
}

}  // namespace

int Pk3Writer_Zip(const std::vector<Pk3WriterMember> &members, std::vector<uint8_t> *zip, Pk3WriterLayout *layout) {
    Pk3WriterLayout where;
    std::vector<uint8_t> central;
    zip->clear();
    for (const Pk3WriterMember &member : members) {
        std::vector<uint8_t> stored = member.data;
        if (member.deflate && !deflate_raw(member.data, &stored))
            return 0;
        uint32_t crc = uint32_t(crc32(crc32(0L, Z_NULL, 0), member.data.data(), uInt(member.data.size())));
        size_t offset = zip->size();
        where.local_headers.push_back(offset);
        add32(zip, 0x04034b50);
        add_common(zip, member, crc, stored.size());
        add16(zip, 0);   // extra field length
        zip->insert(zip->end(), member.name.begin(), member.name.end());
        zip->insert(zip->end(), stored.begin(), stored.end());
        where.central_headers.push_back(central.size());
        add32(&central, 0x02014b50);
        add16(&central, 20);   // made by
        add_common(&central, member, crc, stored.size());
        add16(&central, 0);    // extra field length
        add16(&central, 0);    // comment length
        add16(&central, 0);    // disk
        add16(&central, 0);    // internal attributes
        add32(&central, 0);    // external attributes
        add32(&central, uint32_t(offset));
        central.insert(central.end(), member.name.begin(), member.name.end());
    }
    size_t central_at = zip->size();
    for (size_t &at : where.central_headers)
        at += central_at;
    zip->insert(zip->end(), central.begin(), central.end());
    where.end_record = zip->size();
    add32(zip, 0x06054b50);
    add16(zip, 0);
    add16(zip, 0);
    add16(zip, uint32_t(members.size()));
    add16(zip, uint32_t(members.size()));
    add32(zip, uint32_t(central.size()));
    add32(zip, uint32_t(central_at));
    add16(zip, 0);   // comment length
    if (layout)
        *layout = where;
    return 1;
}

void Pk3Writer_Put16(std::vector<uint8_t> *bytes, size_t at, uint16_t value) {
    (*bytes)[at] = uint8_t(value);
    (*bytes)[at + 1] = uint8_t(value >> 8);
}

void Pk3Writer_Put32(std::vector<uint8_t> *bytes, size_t at, uint32_t value) {
    Pk3Writer_Put16(bytes, at, uint16_t(value));
    Pk3Writer_Put16(bytes, at + 2, uint16_t(value >> 16));
}
