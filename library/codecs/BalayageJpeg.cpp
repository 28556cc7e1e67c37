#include "BalayageJpeg.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

namespace {

// Past the data: one MCU of ten blocks of 64 longest codes each reads less.
constexpr std::size_t kMarge = 4096;

// A value of s bits as the data holds it: the low half stands for negatives.
int Etend(std::uint64_t bits, int s)
{
    const int v = int(bits);
    return s && v < (1 << (s - 1)) ? v - (1 << s) + 1 : v;
}

int NombreDeBits(int v)
{
    const unsigned a = unsigned(v < 0 ? -v : v);
    return a ? 32 - __builtin_clz(a) : 0;
}

// What a thread does, false when memory ran out there: nothing leaves a
// thread's function.
template <class Travail>
bool Essaie(Travail&& travail)
{
    try {
        return travail();
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

std::uint64_t BalayageJpeg::FinDonnees() const { return std::uint64_t(m_Octets.size() - kMarge) * 8; }

BalayageJpeg::BalayageJpeg(std::vector<Composante> composantes, int mcusParLigne, int lignes, int restart)
    : m_Composantes(std::move(composantes)), m_McusParLigne(mcusParLigne), m_Lignes(lignes), m_Restart(restart)
{
    const long long mcus = (long long)mcusParLigne * lignes;
    m_Segments = restart > 0 ? int((mcus + restart - 1) / restart) : 1;
}

bool BalayageJpeg::Desempile(const std::uint8_t* donnees, std::size_t taille)
{
    m_Octets.clear();
    m_Octets.reserve(taille + kMarge);
    m_DebutSegment.assign(1, 0);
    std::size_t i = 0;
    while (i < taille) {
        const auto* ff = static_cast<const std::uint8_t*>(std::memchr(donnees + i, 0xFF, taille - i));
        const std::size_t p = ff ? std::size_t(ff - donnees) : taille;
        m_Octets.insert(m_Octets.end(), donnees + i, donnees + p);
        if (p + 1 >= taille)
            break;
        const std::uint8_t suivant = donnees[p + 1];
        if (suivant == 0x00) {
            m_Octets.push_back(0xFF);
            i = p + 2;
        } else if (suivant == 0xFF) {
            i = p + 1; // a fill byte before a marker
        } else if (suivant >= JPEG_RST0 && suivant <= JPEG_RST0 + 7) {
            const int numero = int(m_DebutSegment.size()) - 1;
            if (int(m_DebutSegment.size()) >= m_Segments || suivant != JPEG_RST0 + (numero & 7))
                return false;
            m_DebutSegment.push_back(std::uint64_t(m_Octets.size()) * 8);
            i = p + 2;
        } else {
            break; // the end of the image, or another marker: the scan is over
        }
    }
    m_Octets.insert(m_Octets.end(), kMarge, 0);
    return int(m_DebutSegment.size()) == m_Segments;
}

bool BalayageJpeg::LitDc(const Composante& c, Lecteur& lecteur, int& dc)
{
    lecteur.Remplit();
    int longueur = 0;
    const int s = c.dc->Decode(lecteur.Voit(16), longueur);
    if (!longueur || s > 11)
        return false;
    lecteur.Passe(longueur);
    if (s) {
        dc += Etend(lecteur.Voit(s), s);
        lecteur.Passe(s);
        // Far beyond what a block holds: damage (or a wrong guess).
        if (dc < -(1 << 24) || dc > (1 << 24))
            return false;
    }
    return true;
}

bool BalayageJpeg::LitBloc(const Composante& c, Lecteur& lecteur, int& dc, JCOEF* bloc) const
{
    std::fill(bloc, bloc + DCTSIZE2, JCOEF(0));
    // Beyond what a block holds: damage, which the library's way tells.
    if (!LitDc(c, lecteur, dc) || dc < -32768 || dc > 32767)
        return false;
    int longueur = 0;
    bloc[0] = JCOEF(dc);
    for (int k = 1; k < DCTSIZE2; ++k) {
        lecteur.Remplit();
        const int rs = c.ac->Decode(lecteur.Voit(16), longueur);
        if (!longueur)
            return false;
        lecteur.Passe(longueur);
        const int r = rs >> 4, t = rs & 15;
        if (!t) {
            if (r != 15)
                break; // end of block
            k += 15;
            continue;
        }
        k += r;
        if (k >= DCTSIZE2 || t > 10)
            return false;
        bloc[HuffmanJpeg::kNaturel[std::size_t(k)]] = JCOEF(Etend(lecteur.Voit(t), t));
        lecteur.Passe(t);
    }
    return true;
}

bool BalayageJpeg::PasseBloc(const Composante& c, Lecteur& lecteur, int& dc) const
{
    if (!LitDc(c, lecteur, dc))
        return false;
    int longueur = 0;
    // A refill holds 56 bits, two symbols with their bits at most.
    for (int k = 1; k < DCTSIZE2;) {
        lecteur.Remplit();
        for (int paire = 0; paire < 2 && k < DCTSIZE2; ++paire, ++k) {
            const int rs = c.ac->Decode(lecteur.Voit(16), longueur);
            if (!longueur)
                return false;
            const int r = rs >> 4, t = rs & 15;
            lecteur.Passe(longueur + t);
            if (!t) {
                if (r != 15)
                    return true; // end of block
                k += 15;
            } else if ((k += r) >= DCTSIZE2 || t > 10) {
                return false;
            }
        }
    }
    return true;
}

bool BalayageJpeg::Mcu(Lecteur& lecteur, std::vector<int>& dc, int ligne, int x, bool decode) const
{
    for (std::size_t c = 0; c < m_Composantes.size(); ++c) {
        const Composante& k = m_Composantes[c];
        for (int y = 0; y < k.v; ++y)
            for (int h = 0; h < k.h; ++h) {
                const bool lu = decode ? LitBloc(k, lecteur, dc[c], Rangee(int(c), ligne * k.v + y)[x * k.h + h])
                                       : PasseBloc(k, lecteur, dc[c]);
                if (!lu)
                    return false;
            }
    }
    return true;
}

BalayageJpeg::Suite BalayageJpeg::PasseDepuis(std::uint64_t depart, std::uint64_t fin,
                                              const std::atomic<bool>& arret) const
{
    // Huffman codes fall back into step: once a guess meets an MCU's true
    // start, every later one is true, and the DC values are off by the same
    // amount. A code that does not exist means the guess was wrong: again
    // from the next byte, a few times (hostile data could make each guess
    // run long before it fails).
    constexpr int kEssais = 32;
    Suite suite;
    std::vector<int> dc(m_Composantes.size(), 0);
    Lecteur lecteur{m_Octets.data()};
    lecteur.Va(depart);
    int essais = 1;
    for (std::uint64_t pos = depart; pos < fin && !arret.load(std::memory_order_relaxed);
         pos = lecteur.Position()) {
        Suite::Debut debut{pos, {}};
        std::copy(dc.begin(), dc.end(), debut.dc.begin());
        if (!Mcu(lecteur, dc, 0, 0, false) || lecteur.Position() > fin) {
            if (fin - pos < 64)
                break; // the last bits: padding, not an MCU
            suite.debuts.clear();
            if (++essais > kEssais)
                break;
            std::fill(dc.begin(), dc.end(), 0);
            lecteur.Va((pos / 8 + 1) * 8);
            continue;
        }
        suite.debuts.push_back(debut);
        suite.fin = lecteur.Position();
    }
    return suite;
}

std::optional<bool> BalayageJpeg::Raccorde(const Suite& suite, int ligne, const std::vector<int>& dc,
                                           const std::vector<bool>& decodees)
{
    const std::uint64_t position = m_DebutLigne[std::size_t(ligne)];
    const auto ici = std::lower_bound(suite.debuts.begin(), suite.debuts.end(), position,
                                      [](const Suite::Debut& d, std::uint64_t p) { return d.position < p; });
    const auto j = std::size_t(ici - suite.debuts.begin());
    const std::size_t restants = std::size_t(m_Lignes - ligne) * std::size_t(m_McusParLigne);
    if (ici == suite.debuts.end() || ici->position != position || suite.debuts.size() - j != restants)
        return std::nullopt;
    for (int r = ligne; r < m_Lignes; ++r) {
        const Suite::Debut& d = suite.debuts[j + std::size_t(r - ligne) * std::size_t(m_McusParLigne)];
        m_DebutLigne[std::size_t(r)] = d.position;
        m_DcLigne[std::size_t(r)].resize(dc.size());
        for (std::size_t c = 0; c < dc.size(); ++c)
            m_DcLigne[std::size_t(r)][c] = d.dc[c] + dc[c] - ici->dc[c];
    }
    m_FinSegment[0] = suite.fin;
    // The rows to decode, each from its own start.
    Lecteur lecteur{m_Octets.data()};
    for (int r = ligne; r < m_Lignes; ++r) {
        if (!decodees[std::size_t(r)])
            continue;
        lecteur.Va(m_DebutLigne[std::size_t(r)]);
        std::vector<int> valeurs = m_DcLigne[std::size_t(r)];
        for (int x = 0; x < m_McusParLigne; ++x)
            if (!Mcu(lecteur, valeurs, r, x, true))
                return false;
    }
    m_EnDeux = true;
    return true;
}

bool BalayageJpeg::Lit(const std::uint8_t* donnees, std::size_t taille, const std::vector<bool>& decodees,
                       bool deuxFils)
{
    m_EnDeux = false;
    if (!Desempile(donnees, taille))
        return false;
    const std::size_t n = m_Composantes.size();
    m_Blocs.assign(n, {});
    m_Rangees.assign(n, {});
    const auto lignesDecodees = std::size_t(std::count(decodees.begin(), decodees.end(), true));
    for (std::size_t c = 0; c < n; ++c) {
        const Composante& k = m_Composantes[c];
        const std::size_t largeur = std::size_t(m_McusParLigne) * std::size_t(k.h);
        m_Blocs[c].resize(lignesDecodees * std::size_t(k.v) * largeur * DCTSIZE2);
        m_Rangees[c].assign(std::size_t(m_Lignes) * std::size_t(k.v), nullptr);
        std::size_t suivante = 0;
        for (int ligne = 0; ligne < m_Lignes; ++ligne)
            if (decodees[std::size_t(ligne)])
                for (int y = 0; y < k.v; ++y, ++suivante)
                    m_Rangees[c][std::size_t(ligne * k.v + y)] =
                        reinterpret_cast<JBLOCKROW>(m_Blocs[c].data() + suivante * largeur * DCTSIZE2);
    }
    m_FinSegment.assign(std::size_t(m_Segments), 0);
    m_DebutLigne.assign(std::size_t(m_Lignes), 0);
    // Sized now: noting a row's predictions then takes no memory.
    m_DcLigne.assign(std::size_t(m_Lignes), std::vector<int>(n, 0));
    const std::uint64_t fin = FinDonnees();

    const int total = m_McusParLigne * m_Lignes;
    if (deuxFils && m_Restart && m_Segments > 1) {
        // Restart markers split the data exactly: the second thread reads
        // from the middle segment on, each thread noting its own rows.
        const int coupe = m_Segments / 2 * m_Restart;
        bool second = false;
        std::thread fil;
        try {
            fil = std::thread([&] { second = Essaie([&] { return Parcourt(coupe, total, decodees, {}); }); });
        } catch (const std::system_error&) {
        }
        if (fil.joinable()) {
            const bool premier = Essaie([&] { return Parcourt(0, coupe, decodees, {}); });
            fil.join();
            m_EnDeux = premier && second;
            return m_EnDeux;
        }
    }

    // Without them, a second thread passes over the second half from a
    // guess while this one reads up to it.
    const std::uint64_t milieu = fin / 16 * 8;
    Suite suite;
    std::atomic<bool> arret{false};
    std::thread fil;
    if (deuxFils && !m_Restart && m_Lignes > 2) {
        try {
            fil = std::thread([&] {
                Essaie([&] {
                    suite = PasseDepuis(milieu, fin, arret);
                    return true;
                });
            });
        } catch (const std::system_error&) {
        }
    }
    // Whatever way this ends, the second thread stops and is waited for.
    struct Joint {
        std::thread& fil;
        std::atomic<bool>& arret;
        ~Joint()
        {
            arret = true;
            if (fil.joinable())
                fil.join();
        }
    } joint{fil, arret};
    if (!fil.joinable())
        return Parcourt(0, total, decodees, {});
    bool attendu = false;
    return Parcourt(0, total, decodees,
                    [&](int ligne, const std::vector<int>& dc, std::uint64_t position) -> std::optional<bool> {
                        if (!attendu && position >= milieu) {
                            fil.join();
                            attendu = true;
                        }
                        if (attendu && !suite.debuts.empty())
                            return Raccorde(suite, ligne, dc, decodees);
                        return std::nullopt;
                    });
}

bool BalayageJpeg::Parcourt(int premier, int dernier, const std::vector<bool>& decodees, const AChaqueLigne& ligne)
{
    const std::uint64_t fin = FinDonnees();
    std::vector<int> dc(m_Composantes.size(), 0);
    Lecteur lecteur{m_Octets.data()};
    lecteur.Va(0);
    int segment = 0;
    for (int mcu = premier; mcu < dernier; ++mcu) {
        const int y = mcu / m_McusParLigne, x = mcu % m_McusParLigne;
        if (m_Restart && mcu % m_Restart == 0) {
            segment = mcu / m_Restart;
            lecteur.Va(m_DebutSegment[std::size_t(segment)]);
            std::fill(dc.begin(), dc.end(), 0);
        }
        if (x == 0) {
            m_DebutLigne[std::size_t(y)] = lecteur.Position();
            m_DcLigne[std::size_t(y)] = dc;
            if (ligne)
                if (const std::optional<bool> fait = ligne(y, dc, lecteur.Position()))
                    return *fait;
        }
        if (!Mcu(lecteur, dc, y, x, decodees[std::size_t(y)]))
            return false;
        const std::uint64_t finSegment = segment + 1 < m_Segments ? m_DebutSegment[std::size_t(segment) + 1] : fin;
        const std::uint64_t pos = lecteur.Position();
        if (pos > finSegment)
            return false;
        m_FinSegment[std::size_t(segment)] = pos;
    }
    return true;
}

void BalayageJpeg::Reserve(std::size_t octets)
{
    if (m_Sortie->size() - m_Ecrits < octets)
        m_Sortie->resize(std::max(m_Sortie->size() * 2, m_Ecrits + octets));
}

void BalayageJpeg::Place(std::uint64_t bits, int n)
{
    m_Accumule = m_Accumule << n | bits;
    m_NombreBits += n;
    if (m_NombreBits < 32)
        return;
    // Four bytes at once where none is 0xFF.
    m_NombreBits -= 32;
    const auto mot = std::uint32_t(m_Accumule >> m_NombreBits);
    std::uint8_t* p = m_Sortie->data() + m_Ecrits;
    const std::uint32_t inverse = ~mot;
    if (!((inverse - 0x01010101u) & ~inverse & 0x80808080u)) {
        const std::uint32_t grand = __builtin_bswap32(mot);
        std::memcpy(p, &grand, sizeof grand);
        m_Ecrits += 4;
        return;
    }
    for (int decalage = 24; decalage >= 0; decalage -= 8) {
        const auto octet = std::uint8_t(mot >> decalage);
        *p++ = octet;
        if (octet == 0xFF)
            *p++ = 0x00;
    }
    m_Ecrits = std::size_t(p - m_Sortie->data());
}

void BalayageJpeg::VideOctets()
{
    std::uint8_t* p = m_Sortie->data() + m_Ecrits;
    while (m_NombreBits >= 8) {
        m_NombreBits -= 8;
        const auto octet = std::uint8_t(m_Accumule >> m_NombreBits);
        *p++ = octet;
        if (octet == 0xFF)
            *p++ = 0x00;
    }
    m_Ecrits = std::size_t(p - m_Sortie->data());
}

void BalayageJpeg::Complete()
{
    VideOctets();
    // Ones up to the byte's end, as every encoder pads.
    if (m_NombreBits) {
        Place((1u << (8 - m_NombreBits)) - 1, 8 - m_NombreBits);
        VideOctets();
    }
}

void BalayageJpeg::Redemarre(int segment)
{
    Reserve(16);
    Complete();
    (*m_Sortie)[m_Ecrits++] = 0xFF;
    (*m_Sortie)[m_Ecrits++] = std::uint8_t(JPEG_RST0 + ((segment - 1) & 7));
}

void BalayageJpeg::CopieBits(std::uint64_t debut, std::uint64_t fin)
{
    // At worst every byte is 0xFF and takes a zero after it.
    Reserve(std::size_t((fin - debut) / 4) + 32);
    VideOctets();
    if (debut % 8 == 0 && m_NombreBits == 0) {
        // Whole bytes as they were, a zero again after each 0xFF.
        const std::uint8_t* p = m_Octets.data() + debut / 8;
        const std::uint8_t* const dernier = m_Octets.data() + fin / 8;
        while (p < dernier) {
            const auto* ff = static_cast<const std::uint8_t*>(std::memchr(p, 0xFF, std::size_t(dernier - p)));
            const std::uint8_t* jusque = ff ? ff + 1 : dernier;
            std::memcpy(m_Sortie->data() + m_Ecrits, p, std::size_t(jusque - p));
            m_Ecrits += std::size_t(jusque - p);
            if (ff)
                (*m_Sortie)[m_Ecrits++] = 0x00;
            p = jusque;
        }
        debut = fin / 8 * 8;
    }
    // Fewer than 8 bits wait: seven bytes at a time, at once where none is 0xFF.
    constexpr std::uint64_t kUns = 0x0001010101010101, kHauts = 0x0080808080808080, kSept = 0x00FFFFFFFFFFFFFF;
    for (; fin - debut >= 56; debut += 56) {
        const std::uint64_t tout = m_Accumule << 56 | Bits(debut, 56);
        const std::uint64_t octets = (tout >> m_NombreBits) & kSept;
        const std::uint64_t inverse = ~octets & kSept;
        std::uint8_t* p = m_Sortie->data() + m_Ecrits;
        if ((inverse - kUns) & ~inverse & kHauts) {
            for (int decalage = 48; decalage >= 0; decalage -= 8) {
                const auto octet = std::uint8_t(octets >> decalage);
                *p++ = octet;
                if (octet == 0xFF)
                    *p++ = 0x00;
            }
            m_Ecrits = std::size_t(p - m_Sortie->data());
        } else {
            const std::uint64_t grand = __builtin_bswap64(octets << 8);
            std::memcpy(p, &grand, sizeof grand);
            m_Ecrits += 7;
        }
        m_Accumule = tout;
    }
    for (; fin > debut; debut += std::min<std::uint64_t>(fin - debut, 24)) {
        const int n = int(std::min<std::uint64_t>(fin - debut, 24));
        Place(Bits(debut, n), n);
    }
}

void BalayageJpeg::Copie(int premiere, int fin)
{
    // The rows' bits, segment by segment, with the restart markers between.
    const int total = m_McusParLigne * m_Lignes, mcuFin = fin * m_McusParLigne;
    int mcu = premiere * m_McusParLigne;
    std::uint64_t pos = m_DebutLigne[std::size_t(premiere)];
    while (mcu < mcuFin) {
        const int segment = m_Restart ? mcu / m_Restart : 0;
        if (m_Restart && mcu % m_Restart == 0 && mcu > 0)
            Redemarre(segment);
        const int finSegment = m_Restart ? std::min((segment + 1) * m_Restart, total) : total;
        if (finSegment > mcuFin) {
            CopieBits(pos, m_DebutLigne[std::size_t(fin)]);
            break;
        }
        CopieBits(pos, m_FinSegment[std::size_t(segment)]);
        mcu = finSegment;
        if (mcu < mcuFin)
            pos = m_DebutSegment[std::size_t(segment) + 1];
    }
}

bool BalayageJpeg::CodeBloc(const Composante& c, const JCOEF* bloc, int& dc)
{
    const int difference = bloc[0] - dc;
    dc = bloc[0];
    int s = NombreDeBits(difference);
    if (s > 11 || !c.dc->Longueur(s))
        return false;
    Place(c.dc->Code(s), c.dc->Longueur(s));
    if (s)
        Place(std::uint32_t(difference < 0 ? difference - 1 : difference) & ((1u << s) - 1), s);
    int zeros = 0;
    for (int k = 1; k < DCTSIZE2; ++k) {
        const int v = bloc[HuffmanJpeg::kNaturel[std::size_t(k)]];
        if (!v) {
            ++zeros;
            continue;
        }
        for (; zeros > 15; zeros -= 16) {
            if (!c.ac->Longueur(0xF0))
                return false;
            Place(c.ac->Code(0xF0), c.ac->Longueur(0xF0));
        }
        s = NombreDeBits(v);
        const int symbole = zeros << 4 | s;
        if (s > 10 || !c.ac->Longueur(symbole))
            return false;
        Place(c.ac->Code(symbole), c.ac->Longueur(symbole));
        Place(std::uint32_t(v < 0 ? v - 1 : v) & ((1u << s) - 1), s);
        zeros = 0;
    }
    if (zeros) {
        if (!c.ac->Longueur(0x00))
            return false;
        Place(c.ac->Code(0x00), c.ac->Longueur(0x00));
    }
    return true;
}

bool BalayageJpeg::CodeMcu(int mcu, std::vector<int>& dc)
{
    if (m_Restart && mcu % m_Restart == 0) {
        if (mcu > 0)
            Redemarre(mcu / m_Restart);
        std::fill(dc.begin(), dc.end(), 0);
    }
    Reserve(2 * kMarge);
    const int ligne = mcu / m_McusParLigne, x = mcu % m_McusParLigne;
    for (std::size_t c = 0; c < m_Composantes.size(); ++c) {
        const Composante& k = m_Composantes[c];
        for (int y = 0; y < k.v; ++y)
            for (int h = 0; h < k.h; ++h) {
                const int by = ligne * k.v + y, bx = x * k.h + h;
                // Past the picture's edge: the block every encoder writes
                // there, its DC the one before and nothing else.
                JBLOCK vide{};
                vide[0] = JCOEF(dc[c]);
                const bool dehors = bx >= k.largeur || by >= k.hauteur;
                if (!CodeBloc(k, dehors ? vide : Rangee(int(c), by)[bx], dc[c]))
                    return false;
            }
    }
    return true;
}

bool BalayageJpeg::Ecrit(const std::vector<bool>& recodees, std::vector<std::uint8_t>& sortie)
{
    m_Sortie = &sortie;
    m_Ecrits = 0;
    sortie.resize(m_Octets.size() + kMarge);
    m_Accumule = 0;
    m_NombreBits = 0;
    std::vector<int> dc;
    for (int ligne = 0; ligne < m_Lignes; ++ligne) {
        if (!recodees[std::size_t(ligne)]) {
            int fin = ligne;
            while (fin < m_Lignes && !recodees[std::size_t(fin)])
                ++fin;
            Copie(ligne, fin);
            ligne = fin - 1;
            dc.clear();
            continue;
        }
        if (!Rangee(0, ligne * m_Composantes[0].v))
            return false;
        // Coded again after copied bits: the predictions the source had
        // there; after a row coded again: that row's own.
        if (dc.empty())
            dc = m_DcLigne[std::size_t(ligne)];
        for (int x = 0; x < m_McusParLigne; ++x)
            if (!CodeMcu(ligne * m_McusParLigne + x, dc))
                return false;
    }
    Reserve(16);
    Complete();
    sortie[m_Ecrits++] = 0xFF;
    sortie[m_Ecrits++] = JPEG_EOI;
    sortie.resize(m_Ecrits);
    return true;
}
