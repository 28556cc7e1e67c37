#include "ReservePixels.h"

#include "Bitmap.h"

namespace {

thread_local ReservePixels* t_inUse = nullptr;

} // namespace

void ReservePixels::Keep(Bitmap* image)
{
    if (!image)
        return;
    std::size_t capacity = 0;
    BYTE* block = image->ReleaseBits(capacity);
    delete image;
    // The larger block serves more pictures.
    if (block && capacity >= m_capacity) {
        m_block.reset(block);
        m_capacity = capacity;
    } else {
        std::free(block);
    }
}

ReservePixels::Use::Use(ReservePixels& reserve) : m_previous(t_inUse) { t_inUse = &reserve; }

ReservePixels::Use::~Use() { t_inUse = m_previous; }

BYTE* ReservePixels::Take(std::size_t bytes, std::size_t& capacity)
{
    ReservePixels* reserve = t_inUse;
    if (!reserve || !reserve->m_block || reserve->m_capacity < bytes || reserve->m_capacity / 2 > bytes)
        return nullptr;
    capacity = reserve->m_capacity;
    reserve->m_capacity = 0;
    return reserve->m_block.release();
}
