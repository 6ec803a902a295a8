#include "platform/mapped_buffer.h"

#include <sys/mman.h>
#include <unistd.h>

namespace platform {

namespace {

std::size_t wholePages(std::size_t bytes)
{
    static const auto page = std::size_t(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

} // namespace

MappedBuffer::~MappedBuffer()
{
    if (m_data)
        munmap(m_data, m_bytes);
}

MappedBuffer &MappedBuffer::operator=(MappedBuffer &&other) noexcept
{
    if (this != &other) {
        if (m_data)
            munmap(m_data, m_bytes);
        m_data = std::exchange(other.m_data, nullptr);
        m_bytes = std::exchange(other.m_bytes, 0);
    }
    return *this;
}

bool MappedBuffer::resize(std::size_t bytes)
{
    const std::size_t wanted = wholePages(bytes);
    if (wanted < bytes)
        return false;
    if (wanted == m_bytes)
        return true;
    if (wanted == 0) {
        munmap(m_data, m_bytes);
        m_data = nullptr;
        m_bytes = 0;
        return true;
    }
    void *moved = m_data
        ? mremap(m_data, m_bytes, wanted, MREMAP_MAYMOVE)
        : mmap(nullptr, wanted, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (moved == MAP_FAILED)
        return false;
    m_data = moved;
    m_bytes = wanted;
    return true;
}

} // namespace platform
