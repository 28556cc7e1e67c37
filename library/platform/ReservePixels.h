#pragma once
// The pixel memory of a picture a worker has finished with, kept for its
// next picture: a run of photographs then writes into pages it already
// has instead of faulting in fresh ones for every file. One reserve per
// worker, used by one thread at a time; while a Use lives on a thread,
// Bitmap::Create there takes from it.

#include "Types.h"

#include <cstddef>
#include <cstdlib>
#include <memory>

class Bitmap;

class ReservePixels {
public:
    ReservePixels() = default;
    ReservePixels(const ReservePixels&) = delete;
    ReservePixels& operator=(const ReservePixels&) = delete;

    // Keeps image's pixel memory in place of what was kept, and deletes image.
    void Keep(Bitmap* image);
    std::size_t Capacity() const { return m_capacity; }

    class Use {
    public:
        explicit Use(ReservePixels& reserve);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        ReservePixels* m_previous;
    };

    // For Bitmap::Create: the block of the thread's reserve in use when it
    // holds bytes and is not more than twice that (a small picture leaves it
    // for the next large one); its size in capacity. Null otherwise.
    static BYTE* Take(std::size_t bytes, std::size_t& capacity);

private:
    struct FreeDeleter {
        void operator()(BYTE* p) const { std::free(p); }
    };
    std::unique_ptr<BYTE, FreeDeleter> m_block;
    std::size_t m_capacity = 0;
};
