// "Sign All Files" with a name text that is a path, and with a damaged
// picture: one box before anything, or a signed copy marked "Damaged".

#include "SignatureRun.h"

#include <filesystem>

namespace {

// A suite of its own: gtest wants one fixture class per suite name.
class SignatureRefus : public Signature {};

TEST_F(SignatureRefus, ANameTextThatIsAPathIsOneBoxAndNoRun)
{
    Depose({Photo("a.jpg")});
    for (const char* texte : {"../", "sous/x", ".."}) {
        SCOPED_TRACE(texte);
        Scripted().clear();
        vue->SetDlgItemText(1505, texte);
        Signe({IDYES, IDOK});
        ASSERT_EQ(Messages().size(), 2u);
        EXPECT_EQ(Messages()[1].rfind("The output name's prefix \"" + std::string(texte) + "\"", 0), 0u)
            << Messages()[1];
        EXPECT_EQ(Scripted().shown[1].type, UINT(MB_OK | MB_ICONERROR));
        EXPECT_EQ(Etats(), std::vector<std::string>{""});
        EXPECT_TRUE(vue->isEnabled());
    }
    int photos = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(bac.path("")))
        photos += e.path().extension() == ".jpg";
    EXPECT_EQ(photos, 1) << "nothing written";
    EXPECT_FALSE(Existe(bac.path("sous")));
}

TEST_F(SignatureRefus, ADamagedPictureIsSignedMarkedAndNamedInTheSummary)
{
    const std::vector<std::uint8_t> entier = ReadFile(Photo("entier.jpg"));
    WriteFile(bac.path("coupe.jpg"),
              std::vector<std::uint8_t>(entier.begin(), entier.begin() + static_cast<long>(entier.size() * 6 / 10)));
    Depose({bac.path("entier.jpg"), bac.path("coupe.jpg")});
    // Start, the reader's warning, the summary, the closing question.
    Signe({IDYES, IDOK, IDOK, IDNO});
    // The list sorts by name: the damaged picture comes first.
    EXPECT_EQ(Etats(), (std::vector<std::string>{"Damaged", "OK"}));
    EXPECT_TRUE(Existe(bac.path("TPcoupe.jpg")));
    const std::vector<std::string> messages = Messages();
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[1], "Premature end of JPEG file");
    EXPECT_EQ(messages[2], "2 signed, 0 passed, 0 failed:\n1 damaged, signed as far as they could be read:\n" +
                               bac.path("coupe.jpg"));
}

} // namespace
