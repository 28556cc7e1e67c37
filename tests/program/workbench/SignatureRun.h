#pragma once
// The fixture of the "Sign All Files" tests: the run driven as the user
// drives it, scripted answers to the boxes, clicks in the overwrite
// question and in the progress window.

#include "CMiniTexteDlg.h"
#include "CProgressionDlg.h"
#include "CSignatureLogoDlg.h"
#include "Commandes.h"
#include "Composition.h"
#include "DialogDriver.h"
#include "ScriptedInteraction.h"
#include "VueTestSupport.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>
#include <QTreeWidget>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace DialogDriver;
using namespace TestImages;

constexpr int kRemplacer = 1301;
constexpr int kRenommer = 1302;
constexpr int kToutRemplacer = 1303;
constexpr int kPasser = 1304;
constexpr int kArreter = IDCANCEL;

constexpr const char* kDepart = "Generate signing to all files ?";
constexpr const char* kRetrait = "Do you want to delete treated files from list ?";

// Asked instead of the overwrite question when an output is a picture of the list.
inline std::string QuestionOriginal(const std::string& chemin)
{
    return "This is the original photograph " + chemin + " : replace it with the signed copy?";
}

class Signature : public VueTest {
protected:
    void SetUp() override
    {
        VueTest::SetUp();
        Type(Control(vue->PanneauTexte, 2241), "Tamparo");
        Scripted().files.push_back({Image("logo.bmp", 12, 8, RGB(200, 0, 0))});
        Click(Control(vue->PanneauLogo, 1616));
        Pump();
        Scripted().clear();
    }

    void TearDown() override
    {
        espion.stop();
        VueTest::TearDown();
    }

    // A picture with detail everywhere, so that a misplaced layer shows.
    std::string Photo(const std::string& nom)
    {
        const std::string chemin = bac.path(nom);
        HBITMAP image = Gradient(96, 64);
        EXPECT_EQ(graphique.SauveImage(chemin, image, 90), 1);
        DeleteObject(image);
        return chemin;
    }

    // The run through the command, the message boxes answered in order.
    void Signe(std::vector<int> reponses)
    {
        for (int r : reponses)
            Scripted().answer(r);
        ASSERT_TRUE(vue->OnCommand(Commande::SigneTout));
        EXPECT_TRUE(Scripted().answers.empty()) << "fewer boxes than answers";
    }

    // The overwrite questions to come, each answered by a click; a rename
    // types the name given beside it.
    static void Questions(std::vector<std::pair<int, std::string>> boutons)
    {
        if (boutons.empty())
            return;
        OnNextModal([boutons](QWidget* question) mutable {
            const auto [bouton, nom] = boutons.front();
            boutons.erase(boutons.begin());
            if (bouton == kRenommer)
                OnNextModal([nom](QWidget* saisie) {
                    auto* edit = ControlAs<QLineEdit>(saisie, 1100);
                    edit->clear();
                    Type(edit, QString::fromStdString(nom));
                    Click(Control(saisie, IDOK));
                });
            Click(Control(question, bouton));
            // Only now: a waiting answer would take the name input for a question.
            Questions(boutons);
        });
    }

    // Calls action at each step the progress window shows until it returns true.
    void PendantLeTraitement(std::function<bool(CProgressionDlg&)> action)
    {
        QObject::disconnect(&espion, &QTimer::timeout, nullptr, nullptr);
        espion.setInterval(0);
        QObject::connect(&espion, &QTimer::timeout, &espion, [this, action] {
            auto* progression = hote.findChild<CProgressionDlg*>();
            if (progression && progression->isVisible() && action(*progression))
                espion.stop();
        });
        espion.start();
    }

    std::vector<std::string> Etats() const
    {
        std::vector<std::string> etats;
        for (int i = 0; i < vue->Liste()->topLevelItemCount(); ++i)
            etats.push_back(vue->Liste()->topLevelItem(i)->text(1).toStdString());
        return etats;
    }

    static std::vector<std::string> Messages()
    {
        std::vector<std::string> textes;
        for (const auto& boite : Scripted().shown)
            textes.push_back(boite.text);
        return textes;
    }

    static bool Existe(const std::string& chemin) { return QFileInfo::exists(QString::fromStdString(chemin)); }

    // What the run must have written for source: its picture with both layers.
    HBITMAP Attendu(const std::string& source)
    {
        HBITMAP charge = graphique.ChargeImage(source);
        CoucheTexte texte = vue->CoucheTexteCourante();
        HBITMAP signe = Composition::Compose(charge, texte, vue->CoucheLogoCourante());
        DeleteObject(charge);
        return signe;
    }

    QTimer espion;
};

} // namespace
