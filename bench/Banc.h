#pragma once
// How a bench starts: Qt offscreen unless told otherwise, nobody to answer
// a message, the number of runs from its command line, a scratch folder.

#include "SilentInteraction.h"

#include <QGuiApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <string>

// Before the application is made: a bench shows nothing unless
// QT_QPA_PLATFORM asks for a screen.
inline void HorsEcranParDefaut()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The count given as argument rang, at least 1; parDefaut when there is none.
inline int Tours(int argc, char** argv, int rang, int parDefaut)
{
    return argc > rang ? std::max(1, std::atoi(argv[rang])) : parDefaut;
}

// A bench's application, silent interaction and scratch folder, kept for its whole run.
class Banc {
public:
    Banc(int& argc, char** argv) : m_Application(HorsEcran(argc), argv) { Interaction::install(&m_Silence); }

    // The scratch folder, with its final slash.
    std::string Racine() const { return m_Dossier.path().toStdString() + "/"; }

private:
    static int& HorsEcran(int& argc)
    {
        HorsEcranParDefaut();
        return argc;
    }

    QGuiApplication m_Application;
    // A failed load or save must end the bench, not wait for a click.
    SilentInteraction m_Silence;
    QTemporaryDir m_Dossier;
};
