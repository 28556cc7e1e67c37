// What the JPEG codecs have to say: kept in a report by the codecs, shown
// by the public entry points in the same boxes and order as ever.

#include "JpegFile.h"
#include "JpegTestSupport.h"
#include "ScriptedInteraction.h"
#include "codecs/JpegEcritureEnLots.h"
#include "codecs/JpegLecture.h"
#include "codecs/RapportCodec.h"

#include <QCoreApplication>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace TestImages;
using namespace JpegTest;

namespace {

using Boite = RapportCodec::Boite;
using Message = RapportCodec::Message;

// Decodes as ChargeImageJPEG does, with the reader alone; true when the
// picture came out.
bool LitSansMontrer(const std::string& path, RapportCodec& rapport)
{
    Budget budget;
    JpegLecture lecture(rapport, budget);
    if (!lecture.Ouvre(path) || !lecture.TailleAcceptable(4))
        return false;
    jpeg_decompress_struct& info = lecture.Info();
    info.out_color_space = JCS_EXT_BGRX;
    if (!lecture.Demarre())
        return false;
    JSAMPARRAY ligne = lecture.AlloueLignes(info.output_width * 4, 1);
    while (ligne && info.output_scanline < info.output_height) {
        JDIMENSION lues = 0;
        if (!lecture.LitLignes(ligne, 1, lues) || lues == 0)
            return false;
    }
    return ligne && lecture.Termine();
}

// The boxes a report's messages make, as the scripted user records them.
std::vector<std::string> EnBoites(const std::vector<Message>& messages)
{
    std::vector<std::string> boites;
    for (const Message& m : messages) {
        const std::string titre =
            m.Forme == Boite::Application ? QCoreApplication::applicationName().toStdString() : m.Titre;
        boites.push_back(titre + "|" + m.Texte + "|" + std::to_string(m.Type));
    }
    return boites;
}

std::vector<std::string> Montrees()
{
    std::vector<std::string> boites;
    for (const auto& s : Scripted().shown)
        boites.push_back(s.caption + "|" + s.text + "|" + std::to_string(s.type));
    return boites;
}

class JpegRapport : public testing::Test {
protected:
    CGraphique graphique;
    Sandbox box;
};

} // namespace

TEST_F(JpegRapport, DamagedAndMissingFilesAreReportedAsDataAndShownAsBefore)
{
    HBITMAP photo = Photo(96, 64);
    ASSERT_EQ(graphique.SauveImage(box.path("entier.jpg"), photo, 90), 1);
    ASSERT_EQ(graphique.SauveImage(box.path("image.bmp"), photo, 0), 1);
    DeleteObject(photo);
    const Bytes entier = ReadFile(box.path("entier.jpg"));
    WriteFile(box.path("coupe.jpg"), Bytes(entier.begin(), entier.begin() + static_cast<long>(entier.size() / 2)));
    // Stuffed 0xFF bytes in the middle of the scan: all-ones codes, which no
    // Huffman table holds.
    std::size_t sos = 0;
    while (sos + 3 < entier.size() && !(entier[sos] == 0xFF && entier[sos + 1] == 0xDA))
        ++sos;
    ASSERT_LT(sos + 3, entier.size());
    const std::size_t debut = sos + 2 + (entier[sos + 2] << 8 | entier[sos + 3]);
    const std::size_t milieu = debut + (entier.size() - 2 - debut) / 2;
    Bytes huffman = entier;
    for (std::size_t i = milieu; i < milieu + 32; i += 2) {
        huffman[i] = 0xFF;
        huffman[i + 1] = 0x00;
    }
    WriteFile(box.path("huffman.jpg"), huffman);
    WriteFile(box.path("huffman-coupe.jpg"), Bytes(huffman.begin(), huffman.begin() + static_cast<long>(milieu + 40)));
    WriteFile(box.path("bmp.jpg"), ReadFile(box.path("image.bmp")));

    const std::string absent = box.path("absent.jpg");
    const struct {
        const char* nom;
        bool lu;
        std::vector<Message> attendus;
    } cas[] = {
        {"coupe.jpg", true, {{"Premature end of JPEG file", "JPEG Error", MB_OK, Boite::FenetreActive}}},
        {"huffman.jpg", true, {{"Corrupt JPEG data: bad Huffman code", "JPEG Error", MB_OK, Boite::FenetreActive}}},
        // Only the first warning of an image.
        {"huffman-coupe.jpg",
         true,
         {{"Corrupt JPEG data: bad Huffman code", "JPEG Error", MB_OK, Boite::FenetreActive}}},
        {"bmp.jpg",
         false,
         {{"Not a JPEG file: starts with 0x42 0x4d", "JPEG Fatal Error", MB_OK | MB_ICONERROR, Boite::Libre}}},
        {"absent.jpg", false, {{"JPEG :\nCan't open " + absent + "\n", "", MB_OK, Boite::Application}}},
    };
    // The public ways in (the second is also the way of other display depths).
    const std::pair<const char*, std::function<bool(const std::string&)>> entrees[] = {
        {"ChargeImageJPEG",
         [&](const std::string& path) {
             HBITMAP image = graphique.ChargeImageJPEG(path);
             DeleteObject(image);
             return image != nullptr;
         }},
        {"JpegFileToRGB",
         [](const std::string& path) {
             UINT w = 0, h = 0;
             return std::unique_ptr<BYTE[]>(JpegFile::JpegFileToRGB(path, &w, &h)) != nullptr;
         }},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        Scripted().clear();
        RapportCodec rapport;
        EXPECT_EQ(LitSansMontrer(box.path(c.nom), rapport), c.lu);
        EXPECT_EQ(rapport.Messages(), c.attendus);
        EXPECT_TRUE(Scripted().shown.empty()) << "the reader itself shows nothing";
        for (const auto& [nom, entree] : entrees) {
            SCOPED_TRACE(nom);
            Scripted().clear();
            EXPECT_EQ(entree(box.path(c.nom)), c.lu);
            EXPECT_EQ(Montrees(), EnBoites(c.attendus));
        }
    }
    Scripted().clear();
}

TEST_F(JpegRapport, TheEncoderThreadsMessagesComeBackInTheirPlace)
{
    // Rows past the picture's height make the library warn and refuse them,
    // on whichever thread encodes; the final flush onto a full device fails
    // on the caller's.
    const std::vector<Message> attendus = {
        {"before", "Caller", MB_OK, Boite::Libre},
        {"Application transferred too many scanlines", "JPEG Error", MB_OK, Boite::FenetreActive},
        {"Output file write error --- out of disk space?", "JPEG Error", MB_OK | MB_ICONERROR, Boite::Libre},
    };
    for (const bool fil : {false, true}) {
        SCOPED_TRACE(fil ? "encoded on a thread" : "encoded here");
        Scripted().clear();
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> plein(std::fopen("/dev/full", "wb"), &std::fclose);
        ASSERT_NE(plein, nullptr);
        std::setvbuf(plein.get(), nullptr, _IONBF, 0);
        RapportCodec rapport;
        rapport.Ajoute("before", "Caller", MB_OK, Boite::Libre);
        JpegEcriture ecriture("JPEG Error", rapport);
        ASSERT_TRUE(ecriture.Demarre(plein.get(), 8, 16, 4, JCS_EXT_BGRX, 75));
        {
            JpegEcritureEnLots encodeur(ecriture, 8, fil);
            for (int lot = 0; lot < 2; ++lot) {
                Bitmap* tampon = encodeur.Tampon();
                ASSERT_NE(tampon, nullptr);
                encodeur.Donne(tampon, JpegEcritureEnLots::kLignes);
            }
            // Every buffer taken, then none once the second batch failed.
            for (int i = 0; i < (fil ? 4 : 1) && encodeur.Tampon();)
                ++i;
            EXPECT_EQ(rapport.Messages().size(), fil ? 1u : 2u) << "a thread's messages wait for it to end";
            EXPECT_FALSE(encodeur.Termine());
            EXPECT_EQ(rapport.Messages().size(), 2u);
        }
        EXPECT_FALSE(ecriture.Termine());
        EXPECT_EQ(rapport.Messages(), attendus);
        EXPECT_TRUE(Scripted().shown.empty());

        rapport.Affiche();
        EXPECT_EQ(Montrees(), EnBoites(attendus));
        EXPECT_TRUE(rapport.Messages().empty()) << "shown once";
    }
    Scripted().clear();
}
