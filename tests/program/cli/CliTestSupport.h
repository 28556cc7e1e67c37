#pragma once
// tamparo2-cli run as a user runs it: a separate process with its
// arguments, its standard input, and what it prints and returns.

#include <QProcessEnvironment>
#include <QStringList>

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

} // namespace CliTest
