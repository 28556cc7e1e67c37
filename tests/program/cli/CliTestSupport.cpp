#include "CliTestSupport.h"

#include <QProcess>

namespace CliTest {

QString Programme() { return QStringLiteral(TAMPARO2_CLI); }

Sortie Lance(const QStringList& arguments, const std::string& dossier, const QByteArray& entree,
             const QProcessEnvironment& environnement)
{
    QProcess processus;
    if (!dossier.empty())
        processus.setWorkingDirectory(QString::fromStdString(dossier));
    if (!environnement.isEmpty())
        processus.setProcessEnvironment(environnement);
    processus.start(Programme(), arguments);
    processus.write(entree);
    processus.closeWriteChannel();
    Sortie sortie;
    if (!processus.waitForFinished(120000) || processus.exitStatus() != QProcess::NormalExit)
        return sortie;
    sortie.code = processus.exitCode();
    sortie.standard = processus.readAllStandardOutput().toStdString();
    sortie.erreurs = processus.readAllStandardError().toStdString();
    return sortie;
}

} // namespace CliTest
