#pragma once
// The workbench view as the program builds it: an application object with
// its document and image toolbox, the view in a host window, its first
// initial update done, and the settings store in a sandbox.

#include "CDoc.h"
#include "CGraphique.h"
#include "CPrincipaleView.h"
#include "CTamparoApp.h"
#include "TestImages.h"

#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

class VueTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new view, as at a start of the program (the previous one is gone).
    void Demarre();
    // The end of a run: the settings are stored and the view destroyed.
    void Arrete();

    // A picture file of that size in the sandbox, in the format its name gives.
    std::string Image(const std::string& nom, int largeur, int hauteur, COLORREF couleur = RGB(255, 255, 255));
    // Files dropped on the view by a file manager.
    void Depose(const std::vector<std::string>& chemins);
    std::vector<std::string> Lignes() const;
    CString Compteur() const;
    // Runs the events until the view has shown a preview built after avant
    // (the worker composes off this thread); false after a few seconds.
    bool AttendApercu(int avant);

    TestImages::Sandbox bac;
    CGraphique graphique;
    std::unique_ptr<CTamparoApp> application;
    QWidget hote;
    std::unique_ptr<CPrincipaleView> vue;

private:
    QByteArray m_configAvant;
};
