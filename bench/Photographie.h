#pragma once
// A photograph drawn row by row and written as a JPEG: sky and ground
// gradients, hard-edged buildings and a sun, sensor noise; what a camera
// gives the encoder, not a flat test card. Rows are made as the encoder asks
// for them, so a 100 MP picture costs one row of memory.

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "EcritJpeg.h"

class Photographie {
public:
    Photographie(int largeur, int hauteur, unsigned graine)
        : m_Largeur(largeur), m_Hauteur(hauteur), m_Etat(graine | 1), m_OndeX(std::size_t(largeur))
    {
        for (int x = 0; x < largeur; ++x)
            m_OndeX[std::size_t(x)] = 18.0f * std::sin(float(x) * 6.2832f / float(largeur) * 3.0f);
        // The seed moves the sun, so the pictures of a set are not copies.
        m_SoleilX = float(largeur) * (0.55f + float(graine % 7) * 0.05f);
    }

    int Largeur() const { return m_Largeur; }
    int Hauteur() const { return m_Hauteur; }

    // Row y in RGB, rows taken in order from 0.
    void Ligne(int y, JSAMPLE* row)
    {
        const int w = m_Largeur, h = m_Hauteur;
        const float t = float(y) / float(h);
        const int horizon = h * 3 / 5;
        const float rayon = float(h) * 0.07f;
        for (int x = 0; x < w; ++x) {
            float r, g, b;
            if (y < horizon) {
                // Haze: a faint grain in larger clumps.
                const float voile = Grain(x / 6, y / 6) * 0.25f;
                r = 90 + 100 * t + voile;
                g = 140 + 70 * t + voile;
                b = 230 - 30 * t + voile;
            } else {
                // Grass and gravel: a luminance grain in clumps of 2x2
                // pixels, detail that survives the encoder's quantisation.
                const float onde = m_OndeX[std::size_t(x)] + Grain(x / 2, y / 2);
                r = 70 + 40 * t + onde;
                g = 110 + 30 * t + onde * 0.8f;
                b = 40 + 20 * t + onde * 0.5f;
            }
            const int bloc = x / (w / 12 + 1);
            if (y > horizon - (bloc % 4 + 1) * h / 10 && y < horizon && bloc % 3 != 1) {
                const float brique = Grain(x / 3, y / 3) * 0.6f;
                r = float(60 + 25 * (bloc % 5)) + brique;
                g = float(55 + 20 * (bloc % 3)) + brique;
                b = float(50 + 15 * (bloc % 4)) + brique;
                if ((x / 20) % 3 == 0 && (y / 30) % 2 == 0) // windows
                    r = g = b = 210;
            }
            const float dx = float(x) - m_SoleilX, dy = float(y) - float(h) * 0.15f;
            if (dx * dx + dy * dy < rayon * rayon)
                r = 255, g = 230, b = 150;
            row[3 * x] = JSAMPLE(std::clamp(int(r) + Bruit(), 0, 255));
            row[3 * x + 1] = JSAMPLE(std::clamp(int(g) + Bruit(), 0, 255));
            row[3 * x + 2] = JSAMPLE(std::clamp(int(b) + Bruit(), 0, 255));
        }
    }

    // Written at quality with libjpeg's defaults; false on any failure.
    bool Ecrit(const std::string& path, int quality)
    {
        return EcritJpeg(path, m_Largeur, m_Hauteur, quality, [this](int y, JSAMPLE* ligne) {
            Ligne(y, ligne);
            return ligne;
        });
    }

private:
    static float Grain(int x, int y)
    {
        unsigned v = unsigned(x) * 73856093u ^ unsigned(y) * 19349663u;
        v *= 2654435761u;
        return float(int(v >> 24) % 49 - 24);
    }

    int Bruit()
    {
        m_Etat ^= m_Etat << 13;
        m_Etat ^= m_Etat >> 17;
        m_Etat ^= m_Etat << 5;
        return int(m_Etat % 17) - 8;
    }

    int m_Largeur;
    int m_Hauteur;
    unsigned m_Etat;
    std::vector<float> m_OndeX;
    float m_SoleilX;
};
