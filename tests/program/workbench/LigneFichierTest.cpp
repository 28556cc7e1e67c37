// The file list's order: names as a person reads them, one order whatever
// the order of adding, and each path once.

#include "LigneFichier.h"
#include "VueTestSupport.h"

#include <QTreeWidget>

#include <algorithm>

namespace {

TEST(LigneFichier, NamesSortAsAPersonReadsThem)
{
    struct Cas {
        const char* a;
        const char* b;
    };
    // a comes before b, and never the reverse.
    const Cas cas[] = {
        {"IMG_2.jpg", "IMG_10.jpg"},
        {"img_9.jpg", "IMG_10.jpg"},
        {"a.jpg", "B.jpg"},
        {"apple.jpg", "Banana.jpg"},
        {"/photos/x/IMG_100.JPG", "/photos/x/img_1000.jpg"},
        {"/photos/2/a.jpg", "/photos/10/a.jpg"},
        {"v1.9.jpg", "v1.10.jpg"},
        // Alike once case and zeros are put aside: still one order.
        {"IMG.jpg", "img.jpg"},
        {"IMG_02.jpg", "IMG_2.jpg"},
    };
    for (const Cas& c : cas) {
        const QString a = QString::fromUtf8(c.a), b = QString::fromUtf8(c.b);
        EXPECT_TRUE(LigneFichier::Precede(a, b)) << c.a << " < " << c.b;
        EXPECT_FALSE(LigneFichier::Precede(b, a)) << c.b << " < " << c.a;
        EXPECT_FALSE(LigneFichier::Precede(a, a)) << c.a;
    }
}

using Liste = VueTest;

TEST_F(Liste, RowsTakeOneNaturalOrderWhateverTheOrderOfAdding)
{
    const std::vector<std::string> noms{"IMG_1.bmp", "img_2.bmp", "IMG_10.bmp", "Zoo.bmp", "zoo.bmp", "zz.bmp"};
    std::vector<std::string> attendu;
    for (const std::string& nom : noms)
        attendu.push_back(Image(nom, 4, 3));
    // Rows compare on their full paths; these share the folder.
    std::vector<std::string> ordre = attendu;
    std::reverse(ordre.begin(), ordre.end());
    for (int essai = 0; essai < 3; ++essai) {
        vue->Liste()->clear();
        for (const std::string& chemin : ordre)
            Depose({chemin});
        EXPECT_EQ(Lignes(), attendu) << "try " << essai;
        std::rotate(ordre.begin(), ordre.begin() + 2, ordre.end());
    }

    // A path already listed is not listed again; one differing in case is another file.
    Depose({attendu[2], attendu[0]});
    EXPECT_EQ(Lignes(), attendu);
}

} // namespace
