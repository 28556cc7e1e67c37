// "Sign All Files" loading and signing the next picture while the current
// one is asked about and written: the same boxes and stops as a run that
// does one picture after the other.

#include "SignatureRun.h"

#include <QDir>

namespace {

class SignatureAnticipee : public Signature {
protected:
    // Pictures that differ from one another in size and pixels, so that a
    // picture, a token or a name taken for the next one's shows.
    std::string Photo(const std::string& nom, int graine)
    {
        const std::string chemin = bac.path(nom);
        HBITMAP image = Make(80 + 16 * graine, 96 - 8 * graine, 32, [graine](int x, int y) {
            return RGB((x * 5 + graine * 40) & 255, (y * 3 + x) & 255, (graine * 70 + y * 7) & 255);
        });
        EXPECT_EQ(graphique.SauveImage(chemin, image, 90), 1);
        DeleteObject(image);
        return chemin;
    }

    static std::string Casse(const std::string& chemin)
    {
        WriteFile(chemin, {'n', 'o', 't', ' ', 'a', ' ', 'J', 'P', 'E', 'G'});
        return chemin;
    }
};

// Records, with each box, whether the first picture's copy was already written.
class Temoin : public ScriptedInteraction {
public:
    explicit Temoin(std::string copie) : m_Copie(std::move(copie)), m_Avant(ReadFile(m_Copie)) {}
    int messageBox(HWND owner, const std::string& text, const std::string& caption, UINT type) override
    {
        ecritAvant.push_back(ReadFile(m_Copie) != m_Avant);
        return ScriptedInteraction::messageBox(owner, text, caption, type);
    }
    std::vector<bool> ecritAvant;

private:
    std::string m_Copie;
    std::vector<std::uint8_t> m_Avant;
};

TEST_F(SignatureAnticipee, ANextPictureThatDoesNotLoadSpeaksAfterTheQuestionAndWriteOfTheOneBefore)
{
    Depose({Photo("a.jpg", 0), Casse(bac.path("b.jpg")), Photo("c.jpg", 2)});
    Photo("TPa.jpg", 3);
    Temoin temoin(bac.path("TPa.jpg"));
    Interaction::install(&temoin);
    std::size_t boitesAvantQuestion = 0;
    OnNextModal([&](QWidget* question) {
        boitesAvantQuestion = temoin.shown.size();
        Click(Control(question, kRemplacer));
    });
    for (int r : {IDYES, IDNO, IDOK, IDNO})
        temoin.answer(r);
    vue->OnCommand(Commande::SigneTout);
    Interaction::install(&Scripted());

    ASSERT_EQ(temoin.shown.size(), 4u);
    EXPECT_EQ(boitesAvantQuestion, 1u) << "nothing of b.jpg before a's question";
    EXPECT_EQ(temoin.shown[1].text.rfind("Unable to load " + bac.path("b.jpg") + ":\n", 0), 0u);
    EXPECT_EQ(temoin.ecritAvant, (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(Etats(), (std::vector<std::string>{"OK", "Failed", ""}));
    EXPECT_FALSE(Existe(bac.path("TPc.jpg")));
}

TEST_F(SignatureAnticipee, StopInTheQuestionDropsTheNextPictureUnwrittenAndUnheard)
{
    for (const bool casse : {false, true}) {
        SCOPED_TRACE(casse ? "the next picture does not load" : "the next picture loads");
        Scripted().clear();
        vue->ReinitialiseTout();
        const std::string b = casse ? Casse(bac.path("b.jpg")) : Photo("b.jpg", 1);
        Depose({Photo("a.jpg", 0), b, Photo("c.jpg", 2)});
        // Every copy would replace its source: each one is asked about.
        Click(Control(vue.get(), 1502));
        const std::vector<std::uint8_t> avant = ReadFile(b);
        Signe({IDYES, IDCANCEL, IDNO});
        EXPECT_EQ(Messages(), (std::vector<std::string>{kDepart, QuestionOriginal(bac.path("a.jpg")), kRetrait}));
        EXPECT_EQ(ReadFile(b), avant);
        EXPECT_EQ(Etats(), (std::vector<std::string>{"", "", ""}));
        EXPECT_EQ(QDir(QString::fromStdString(bac.path(""))).entryList(QDir::Files).size(), 4)
            << "no temporary file left (the logo is the fourth)";
    }
}

TEST_F(SignatureAnticipee, ConfirmedStopAtTheNextPicturesFirstStepDropsIt)
{
    const std::string b = Photo("b.jpg", 1);
    Depose({Photo("a.jpg", 0), b, Photo("c.jpg", 2)});
    // b was started while a was written.
    PendantLeTraitement([b](CProgressionDlg& progression) {
        if (progression.GetDlgItemText(1211) != b || progression.GetDlgItemText(1212) != "*** File Loading ***")
            return false;
        Click(Control(&progression, 1210));
        return true;
    });
    Signe({IDYES, IDYES, IDNO});
    EXPECT_EQ(Messages(), (std::vector<std::string>{kDepart, "Stop processing ?", kRetrait}));
    EXPECT_EQ(Etats(), (std::vector<std::string>{"OK", "", ""}));
    EXPECT_FALSE(Existe(bac.path("TPb.jpg")));
    EXPECT_FALSE(Existe(bac.path("TPc.jpg")));
}

} // namespace
