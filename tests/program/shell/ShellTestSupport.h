#pragma once
// The program as it starts: an application object whose settings, recent
// files and desktop registration live in a sandbox, started through its
// InitInstance with the about box clicked away.

#include "CDoc.h"
#include "CMainFrame.h"
#include "CPrincipaleView.h"
#include "CTamparoApp.h"
#include "TestImages.h"

#include <QAction>
#include <QPushButton>
#include <gtest/gtest.h>

#include <memory>
#include <string>

class ShellTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new application object (the previous one ends as at exit).
    void NouvelleApplication();
    // Start-up with those arguments; the about box is closed by a click.
    BOOL Demarre(const QStringList& arguments = {});

    CMainFrame* Frame() const { return application->Frame(); }
    CDoc* Document() const { return application->Document(); }
    CPrincipaleView* Vue() const { return application->Vue; }
    QAction* Article(UINT id) const;
    QPushButton* Bouton(int id) const;
    // A template whose name text is prefixe, written by the program.
    std::string Modele(const std::string& fichier, const CString& prefixe);

    TestImages::Sandbox bac;
    std::unique_ptr<CTamparoApp> application;

private:
    QByteArray m_configAvant;
    QByteArray m_donneesAvant;
};
