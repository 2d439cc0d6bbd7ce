#include "pk3.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <new>

#include <zlib.h>

#include "game_fs.h"

namespace {

// Record signatures and fixed lengths (APPNOTE 4.3).
const uint32_t local_header_signature = 0x04034b50;
const uint32_t central_header_signature = 0x02014b50;
const uint32_t end_record_signature = 0x06054b50;
const uint32_t zip64_locator_signature = 0x07064b50;
const size_t local_header_size = 30;
const size_t central_header_size = 46;
const size_t end_record_size = 22;
const size_t zip64_locator_size = 20;
const size_t max_comment_size = 0xFFFF;

// Flag bits 0 (encrypted) and 6 (strong encryption).
const uint16_t flag_encrypted = 0x0001;
const uint16_t flag_strong_encryption = 0x0040;

// The most bytes one byte of deflate data can give: a length of 258 copied
// in two bits (a 1-bit length code and a 1-bit distance code).
const uint64_t deflate_max_ratio = 1032;

// Compressed data is read in pieces of this size, so that a member's
// declared compressed size never decides an allocation.
const size_t read_chunk_size = 64 * 1024;

uint16_t get16(const uint8_t *p) {
    return uint16_t(p[0] | p[1] << 8);
}

uint32_t get32(const uint8_t *p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

int read_at(FILE *file, uint64_t offset, uint8_t *bytes, size_t size) {
    return GameFs_Seek(file, offset) && std::fread(bytes, 1, size, file) == size;
}

// The end of central directory record: the last signature in the tail from
// which a record and its whole comment reach exactly to the end of the file.
// Its offset in the file into *at, or 0.
int find_end_record(const Pk3 &archive, std::vector<uint8_t> *tail, uint64_t *at, char *reason) {
    if (archive.file_size < end_record_size)
        return Pk3_Refuse(reason, "not a zip archive: %llu bytes, shorter than an end of central directory record",
                      static_cast<unsigned long long>(archive.file_size));
    uint64_t tail_size = archive.file_size < end_record_size + max_comment_size
                             ? archive.file_size : end_record_size + max_comment_size;
    tail->resize(size_t(tail_size));
    uint64_t tail_start = archive.file_size - tail_size;
    if (!read_at(archive.file, tail_start, tail->data(), tail->size()))
        return Pk3_Refuse(reason, "file cannot be read");
    for (size_t i = tail->size() - end_record_size + 1; i-- > 0;) {
        const uint8_t *p = tail->data() + i;
        if (get32(p) == end_record_signature && i + end_record_size + get16(p + 20) == tail->size()) {
            *at = tail_start + i;
            return 1;
        }
    }
    return Pk3_Refuse(reason, "not a zip archive: no end of central directory record");
}

// One central directory entry at p, with `left` bytes of the directory from
// there; its whole length into *length.
int parse_entry(const uint8_t *p, size_t left, size_t index, Pk3Entry *entry, size_t *length, char *reason) {
    if (left < central_header_size)
        return Pk3_Refuse(reason, "central directory ends inside entry %llu", static_cast<unsigned long long>(index));
    if (get32(p) != central_header_signature)
        return Pk3_Refuse(reason, "central directory entry %llu has no signature", static_cast<unsigned long long>(index));
    size_t name_length = get16(p + 28), extra_length = get16(p + 30), comment_length = get16(p + 32);
    *length = central_header_size + name_length + extra_length + comment_length;
    if (*length > left)
        return Pk3_Refuse(reason, "central directory entry %llu runs past the directory's end",
                      static_cast<unsigned long long>(index));
    entry->flags = get16(p + 8);
    entry->method = get16(p + 10);
    entry->crc32 = get32(p + 16);
    entry->compressed_size = get32(p + 20);
    entry->size = get32(p + 24);
    entry->local_offset = get32(p + 42);
    entry->name.assign(reinterpret_cast<const char *>(p + central_header_size), name_length);
    return 1;
}

// Members lie one after another: each one's local header, name and data
// end before the next one starts. So no two entries share data, and reading
// every member reads each byte of the file once.
int check_overlaps(const std::vector<Pk3Entry> &entries, char *reason) {
    std::vector<size_t> order(entries.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(),
              [&](size_t a, size_t b) { return entries[a].local_offset < entries[b].local_offset; });
    for (size_t i = 1; i < order.size(); ++i) {
        const Pk3Entry &before = entries[order[i - 1]];
        // A zip64 member's size is not known here; reading it refuses.
        uint32_t data_size = before.compressed_size == 0xFFFFFFFF ? 0 : before.compressed_size;
        uint64_t end = uint64_t(before.local_offset) + local_header_size + before.name.size() + data_size;
        if (end > entries[order[i]].local_offset)
            return Pk3_Refuse(reason, "members %llu and %llu overlap", static_cast<unsigned long long>(order[i - 1]),
                          static_cast<unsigned long long>(order[i]));
    }
    return 1;
}

int read_directory(Pk3 *archive, char *reason) {
    std::vector<uint8_t> tail;
    uint64_t end_at = 0;
    if (!find_end_record(*archive, &tail, &end_at, reason))
        return 0;
    const uint8_t *end = tail.data() + (tail.size() - (archive->file_size - end_at));
    uint8_t locator[zip64_locator_size];
    if (end_at >= zip64_locator_size && read_at(archive->file, end_at - zip64_locator_size, locator, sizeof locator) &&
        get32(locator) == zip64_locator_signature)
        return Pk3_Refuse(reason, "zip64 archive (zip64 end of central directory locator)");
    uint16_t disk = get16(end + 4), directory_disk = get16(end + 6);
    uint16_t entries_here = get16(end + 8), entries_total = get16(end + 10);
    uint32_t directory_size = get32(end + 12), directory_offset = get32(end + 16);
    if (entries_here == 0xFFFF || entries_total == 0xFFFF || directory_size == 0xFFFFFFFF ||
        directory_offset == 0xFFFFFFFF)
        return Pk3_Refuse(reason, "zip64 archive (end of central directory fields at their maximum)");
    if (disk != 0 || directory_disk != 0 || entries_here != entries_total)
        return Pk3_Refuse(reason, "archive spread over several disks");
    if (uint64_t(directory_offset) + directory_size > end_at)
        return Pk3_Refuse(reason,
                      "central directory (%u bytes at %u) runs past the end of central directory record at %llu",
                      directory_size, directory_offset, static_cast<unsigned long long>(end_at));
    if (directory_size > pk3_max_directory_bytes)
        return Pk3_Refuse(reason, "central directory of %u bytes is over the limit of %u", directory_size,
                      pk3_max_directory_bytes);
    std::vector<uint8_t> directory(directory_size);
    if (!read_at(archive->file, directory_offset, directory.data(), directory.size()))
        return Pk3_Refuse(reason, "file cannot be read");
    archive->directory_offset = directory_offset;
    archive->entries.resize(entries_total);
    size_t at = 0;
    for (size_t i = 0; i < entries_total; ++i) {
        size_t length = 0;
        if (!parse_entry(directory.data() + at, directory.size() - at, i, &archive->entries[i], &length, reason))
            return 0;
        at += length;
    }
    if (at != directory.size())
        return Pk3_Refuse(reason, "central directory holds %llu bytes after its %u entries",
                      static_cast<unsigned long long>(directory.size() - at),
                      unsigned(entries_total));
    return check_overlaps(archive->entries, reason);
}

// The checks on a member that need no reading.
int check_entry(const Pk3Entry &entry, char *reason) {
    if (entry.flags & (flag_encrypted | flag_strong_encryption))
        return Pk3_Refuse(reason, "member is encrypted");
    if (entry.size == 0xFFFFFFFF || entry.compressed_size == 0xFFFFFFFF || entry.local_offset == 0xFFFFFFFF)
        return Pk3_Refuse(reason, "zip64 member (sizes or offset at their maximum)");
    if (entry.method != pk3_method_stored && entry.method != pk3_method_deflated)
        return Pk3_Refuse(reason, "compression method %u (only stored, 0, and deflated, 8, are read)",
                      unsigned(entry.method));
    if (entry.size > pk3_max_member_bytes)
        return Pk3_Refuse(reason, "member of %u bytes is over the limit of %u", entry.size, pk3_max_member_bytes);
    // So that a buffer of the declared size is never larger than the member's
    // data can fill.
    if (entry.method == pk3_method_deflated && entry.size > entry.compressed_size * deflate_max_ratio)
        return Pk3_Refuse(reason, "member declares %u bytes, more than %u bytes of deflate data can give", entry.size,
                      entry.compressed_size);
    if (entry.method == pk3_method_stored && entry.compressed_size != entry.size)
        return Pk3_Refuse(reason, "stored member with a compressed size (%u) other than its size (%u)",
                      entry.compressed_size, entry.size);
    return 1;
}

// Where the member's data starts, after its local header, into *data_at.
int check_local_header(const Pk3 &archive, const Pk3Entry &entry, uint64_t *data_at, char *reason) {
    uint8_t header[local_header_size];
    if (uint64_t(entry.local_offset) + local_header_size > archive.directory_offset)
        return Pk3_Refuse(reason, "local header at %u runs into the central directory", entry.local_offset);
    if (!read_at(archive.file, entry.local_offset, header, sizeof header))
        return Pk3_Refuse(reason, "file cannot be read");
    if (get32(header) != local_header_signature)
        return Pk3_Refuse(reason, "no local header signature at %u", entry.local_offset);
    if (get16(header + 8) != entry.method)
        return Pk3_Refuse(reason, "local header's method %u differs from the central entry's %u",
                      unsigned(get16(header + 8)), unsigned(entry.method));
    size_t name_length = get16(header + 26), extra_length = get16(header + 28);
    uint64_t name_at = uint64_t(entry.local_offset) + local_header_size;
    *data_at = name_at + name_length + extra_length;
    if (*data_at + entry.compressed_size > archive.directory_offset)
        return Pk3_Refuse(reason, "member data runs into the central directory or past the end of the file");
    std::string name(name_length, '\0');
    if (name_length && !read_at(archive.file, name_at, reinterpret_cast<uint8_t *>(&name[0]), name_length))
        return Pk3_Refuse(reason, "file cannot be read");
    if (name != entry.name)
        return Pk3_Refuse(reason, "local header's name differs from the central entry's");
    return 1;
}

int read_stored(const Pk3 &archive, uint64_t data_at, uint8_t *out, size_t size, char *reason) {
    if (size && !read_at(archive.file, data_at, out, size))
        return Pk3_Refuse(reason, "file cannot be read");
    return 1;
}

// Raw deflate data into exactly entry.size bytes at out. Once they are
// out, one spare byte shows whether the stream holds more; a stream that
// holds more, ends before them, or ends before its compressed bytes do is
// refused.
int inflate_member(const Pk3 &archive, const Pk3Entry &entry, uint64_t data_at, uint8_t *out, char *reason) {
    z_stream stream;
    std::memset(&stream, 0, sizeof stream);
    if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
        return Pk3_Refuse(reason, "out of memory (inflate)");
    std::vector<uint8_t> chunk(read_chunk_size);
    uint8_t spare = 0;
    bool into_spare = false;
    uint32_t input_left = entry.compressed_size;
    int result = GameFs_Seek(archive.file, data_at) ? 1 : Pk3_Refuse(reason, "file cannot be read");
    int status = Z_OK;
    stream.next_out = out;
    stream.avail_out = entry.size;
    while (result && status != Z_STREAM_END) {
        if (stream.avail_in == 0) {
            if (input_left == 0) {
                result = Pk3_Refuse(reason, "deflate data end before the stream does (%lu of %u bytes out)",
                                stream.total_out, entry.size);
                break;
            }
            size_t want = input_left < chunk.size() ? input_left : chunk.size();
            if (std::fread(chunk.data(), 1, want, archive.file) != want) {
                result = Pk3_Refuse(reason, "file cannot be read");
                break;
            }
            stream.next_in = chunk.data();
            stream.avail_in = uInt(want);
            input_left -= uint32_t(want);
        }
        if (stream.avail_out == 0) {
            if (into_spare) {
                result = Pk3_Refuse(reason, "member inflates to more than its declared %u bytes", entry.size);
                break;
            }
            into_spare = true;
            stream.next_out = &spare;
            stream.avail_out = 1;
        }
        status = inflate(&stream, Z_NO_FLUSH);
        if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_STREAM_ERROR)
            result = Pk3_Refuse(reason, "deflate data are damaged (%s)", stream.msg ? stream.msg : "no message");
        else if (status == Z_MEM_ERROR)
            result = Pk3_Refuse(reason, "out of memory (inflate)");
        else if (status == Z_BUF_ERROR && stream.avail_in != 0 && stream.avail_out != 0)
            result = Pk3_Refuse(reason, "inflate makes no progress");
    }
    if (result && into_spare && stream.avail_out == 0)
        result = Pk3_Refuse(reason, "member inflates to more than its declared %u bytes", entry.size);
    else if (result && stream.total_out != entry.size)
        result = Pk3_Refuse(reason, "member inflates to %lu bytes, fewer than its declared %u", stream.total_out,
                        entry.size);
    else if (result && (stream.avail_in != 0 || input_left != 0))
        result = Pk3_Refuse(reason, "deflate stream ends %lu bytes before the member's compressed size does",
                        static_cast<unsigned long>(stream.avail_in) + input_left);
    inflateEnd(&stream);
    return result;
}

}  // namespace

int Pk3_Refuse(char *reason, const char *format, ...) {
    if (reason) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(reason, pk3_reason_size, format, args);
        va_end(args);
    }
    return 0;
}

int Pk3_Open(const std::string &path, Pk3 *archive, char *reason) {
    Pk3_Close(archive);
    archive->path = path;
    archive->file = GameFs_Open(path);
    if (!archive->file)
        return Pk3_Refuse(reason, "file cannot be opened: %s", std::strerror(errno));
    int result = 0;
    try {
        if (!GameFs_Size(archive->file, &archive->file_size))
            result = Pk3_Refuse(reason, "file cannot be read");
        else
            result = read_directory(archive, reason);
    } catch (const std::bad_alloc &) {
        result = Pk3_Refuse(reason, "out of memory");
    }
    if (!result)
        Pk3_Close(archive);
    return result;
}

int Pk3_Read(const Pk3 &archive, size_t entry_index, std::vector<uint8_t> *bytes, char *reason) {
    bytes->clear();
    if (!archive.file || entry_index >= archive.entries.size())
        return Pk3_Refuse(reason, "no member %llu in the archive", static_cast<unsigned long long>(entry_index));
    const Pk3Entry &entry = archive.entries[entry_index];
    uint64_t data_at = 0;
    if (!check_entry(entry, reason) || !check_local_header(archive, entry, &data_at, reason))
        return 0;
    int result = 0;
    try {
        bytes->resize(entry.size);
        if (entry.method == pk3_method_stored)
            result = read_stored(archive, data_at, bytes->data(), bytes->size(), reason);
        else
            result = inflate_member(archive, entry, data_at, bytes->data(), reason);
    } catch (const std::bad_alloc &) {
        result = Pk3_Refuse(reason, "out of memory (%u bytes)", entry.size);
    }
    if (result) {
        uint32_t crc = uint32_t(crc32(0L, Z_NULL, 0));
        // crc32 takes a uInt length; the member limit keeps within it.
        crc = uint32_t(crc32(crc, bytes->data(), uInt(bytes->size())));
        if (crc != entry.crc32)
            result = Pk3_Refuse(reason, "CRC-32 %08x differs from the declared %08x", unsigned(crc),
                            unsigned(entry.crc32));
    }
    if (!result) {
        bytes->clear();
        bytes->shrink_to_fit();
    }
    return result;
}

void Pk3_Close(Pk3 *archive) {
    if (archive->file)
        std::fclose(archive->file);
    archive->file = nullptr;
    archive->path.clear();
    archive->file_size = 0;
    archive->directory_offset = 0;
    archive->entries.clear();
}
