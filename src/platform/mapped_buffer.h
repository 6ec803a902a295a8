#pragma once

#include <cstddef>
#include <utility>

namespace platform {

/// Memory taken straight from the kernel in whole pages. It grows and shrinks by remapping
/// (mremap), so a large buffer never has an old and a new copy alive at once, and pages that were
/// never written are not resident: a list that doubles its room costs only what it holds.
class MappedBuffer
{
public:
    MappedBuffer() = default;
    ~MappedBuffer();
    MappedBuffer(MappedBuffer &&other) noexcept
        : m_data(std::exchange(other.m_data, nullptr)), m_bytes(std::exchange(other.m_bytes, 0))
    { }
    MappedBuffer &operator=(MappedBuffer &&other) noexcept;
    MappedBuffer(const MappedBuffer &) = delete;
    MappedBuffer &operator=(const MappedBuffer &) = delete;

    void *data() const { return m_data; }
    /// The room, in bytes: a whole number of pages.
    std::size_t capacity() const { return m_bytes; }

    /// Makes the room at least bytes (whole pages; 0 gives everything back), keeping the content
    /// up to the smaller of the two sizes. False, with the buffer as it was, when the kernel
    /// refuses.
    bool resize(std::size_t bytes);

private:
    void *m_data = nullptr;
    std::size_t m_bytes = 0;
};

} // namespace platform
