#pragma once
// What the HEIF reader and writer share of libheif: its start, once per
// process, and owners that free its objects.

#include <libheif/heif.h>

#include <memory>

struct SessionHeif {
    // Plugins (decoders and encoders) are found by heif_init; it is
    // reference-counted and never undone here.
    static void Initialise()
    {
        static const bool fait = [] {
            heif_init(nullptr);
            return true;
        }();
        (void)fait;
    }

    struct LibereContexte {
        void operator()(heif_context* c) const { heif_context_free(c); }
    };
    struct LibereImage {
        void operator()(heif_image* i) const { heif_image_release(i); }
    };
    using Contexte = std::unique_ptr<heif_context, LibereContexte>;
    using Image = std::unique_ptr<heif_image, LibereImage>;
};
