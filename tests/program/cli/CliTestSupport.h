#pragma once
// tamparo2-cli run as a user runs it: a separate process with its
// arguments, its standard input, and what it prints and returns; the
// pictures its tests give it and the files they read back.

#include "CGraphique.h"
#include "TestImages.h"

#include <QProcessEnvironment>
#include <QStringList>

#include <gtest/gtest.h>

#include <string>

namespace CliTest {

struct Sortie {
    int code = -1;
    std::string standard;
    std::string erreurs;
};

// Runs the built program in folder (empty: the current one) and waits;
// with environnement in place of the tests' own when one is given.
Sortie Lance(const QStringList& arguments, const std::string& dossier = {}, const QByteArray& entree = {},
             const QProcessEnvironment& environnement = {});
// The program's path, built beside the tests.
QString Programme();

// A file's bytes as a string, empty when it cannot be read.
std::string Lit(const std::string& chemin);
bool Contient(const std::string& texte, const std::string& morceau);

// A test with its own folder, and pictures made there for the program to sign.
class EssaiPhotos : public testing::Test {
protected:
    // A gradient saved under nom in the sandbox, its folders made; its path.
    std::string Photo(const std::string& nom, int largeur = 96, int hauteur = 64);

    TestImages::Sandbox bac;
    CGraphique graphique;
};

} // namespace CliTest
