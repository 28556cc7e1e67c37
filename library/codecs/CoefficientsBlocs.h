#pragma once
// The coefficients of a JPEG and the pixels of boxes of them.

#include "Bitmap.h"
#include "TransformeeBlocs.h"
#include "Types.h"

#include <functional>
#include <memory>
#include <vector>

#include <jpeglib.h>

// The coefficients of a JPEG read, and what it takes to turn a box of them
// into pixels and back with the file's own tables and sampling.
class CoefficientsBlocs {
public:
    using RECT = CRect;
    // Block row y of component c, for coefficients the library does not hold.
    using Acces = std::function<JBLOCKROW(int c, int y)>;
    // The library's arrays when acces is empty.
    CoefficientsBlocs(jpeg_decompress_struct& info, jvirt_barray_ptr* tableaux, Acces acces = {})
        : m_info(info), m_tableaux(tableaux), m_acces(std::move(acces))
    {
        m_mcu = CSize(info.max_h_samp_factor * DCTSIZE, info.max_v_samp_factor * DCTSIZE);
    }

    // Components the block way can rebuild: whole sampling ratios, tables
    // latched, a colour space we convert.
    bool Lisible() const
    {
        const bool espace = (m_info.jpeg_color_space == JCS_YCbCr && m_info.num_components == 3)
            || (m_info.jpeg_color_space == JCS_RGB && m_info.num_components == 3)
            || (m_info.jpeg_color_space == JCS_GRAYSCALE && m_info.num_components == 1);
        if (!espace)
            return false;
        for (int c = 0; c < m_info.num_components; ++c) {
            const jpeg_component_info& composante = m_info.comp_info[c];
            if (m_info.max_h_samp_factor % composante.h_samp_factor
                || m_info.max_v_samp_factor % composante.v_samp_factor || !Table(c))
                return false;
        }
        return true;
    }
    CSize Mcu() const { return m_mcu; }
    CSize Taille() const { return CSize(LONG(m_info.image_width), LONG(m_info.image_height)); }

    // The stored pixels of box b, clipped to the picture, in 32 bits.
    std::unique_ptr<Bitmap> Decode(const RECT& b) const;
    // Re-encodes the MCUs of box b where dessinee differs from avant, both
    // b's pixels clipped to the picture.
    void Encode(const RECT& b, const Bitmap& avant, const Bitmap& dessinee) const;

private:
    // Samples of one component over a rectangle of its own grid.
    struct Plan {
        RECT zone;
        std::vector<JSAMPLE> echantillons; // row by row
    };
    // The component's quantization table: as latched by a decoding, or
    // as the header gave it to a scan read without the library.
    const JQUANT_TBL* Table(int c) const
    {
        const jpeg_component_info& composante = m_info.comp_info[c];
        return composante.quant_table ? composante.quant_table
                                      : m_info.quant_tbl_ptrs[composante.quant_tbl_no & (NUM_QUANT_TBLS - 1)];
    }
    int Fx(int c) const { return m_info.max_h_samp_factor / m_info.comp_info[c].h_samp_factor; }
    int Fy(int c) const { return m_info.max_v_samp_factor / m_info.comp_info[c].v_samp_factor; }
    // Block row y of component c; the rows asked for always exist, so the
    // library has no error to raise.
    JBLOCKROW Rangee(int c, int y, bool ecrit) const
    {
        if (m_acces)
            return m_acces(c, y);
        return (*m_info.mem->access_virt_barray)(reinterpret_cast<j_common_ptr>(&m_info), m_tableaux[c],
                                                 JDIMENSION(y), 1, ecrit ? TRUE : FALSE)[0];
    }
    Plan DecodePlan(int c, const RECT& zone) const;
    // Pixels x0 to x1 of row y of component c, upsampled the way the
    // library's decoder does by default (fancy upsampling, edges repeated);
    // sommes is scratch space.
    void LigneComposante(const Plan& plan, int c, int y, int x0, int x1, std::vector<int>& sommes,
                         JSAMPLE* ligne) const;
    // The MCU at (mx, my) of the drawn box b in the file's components, one
    // Mcu()-sized plane each, repeating the picture's last pixels beyond its
    // edges as the encoder does.
    void PlansMcu(const Bitmap& dessinee, const RECT& b, int mx, int my, float* plans) const;

    jpeg_decompress_struct& m_info;
    jvirt_barray_ptr* m_tableaux;
    Acces m_acces;
    CSize m_mcu;
    TransformeeBlocs m_transformee;
};
