// "Same as the original" in "Setup": it sets the quality number aside, and
// travels with the template and from one run of the program to the next.

#include "CDoc.h"
#include "DialogDriver.h"
#include "ModeleSignature.h"
#include "VueTestSupport.h"

#include <QAbstractButton>
#include <QSettings>

using namespace DialogDriver;

namespace {

class QualiteOrigine : public VueTest {
protected:
    QAbstractButton* Case() const { return ControlAs<QAbstractButton>(vue.get(), 1513); }
    // The quality's edit and its arrows answer together.
    void AttendQualite(bool active) const
    {
        EXPECT_EQ(Control(vue.get(), 1506)->isEnabled(), active);
        EXPECT_EQ(Control(vue.get(), 1507)->isEnabled(), active);
    }
};

} // namespace

TEST_F(QualiteOrigine, TheBoxSetsTheNumberAsideAndTravelsWithTheTemplateAndTheStore)
{
    ASSERT_NE(Case(), nullptr);
    EXPECT_EQ(Case()->text(), "Same as the original");
    EXPECT_FALSE(Case()->isChecked());
    AttendQualite(true);
    EXPECT_GT(Case()->geometry().top(), Control(vue.get(), 1506)->geometry().bottom()) << "below the quality";
    EXPECT_LT(Case()->geometry().bottom(), Control(vue.get(), 1511)->geometry().top()) << "above the metadata";

    Click(Case());
    Pump();
    AttendQualite(false);
    const std::string chemin = bac.path("origine.tp2");
    ASSERT_TRUE(application->Document()->OnSaveDocument(chemin));
    ModeleSignature lu;
    ASSERT_EQ(lu.ChargeFichier(chemin), ModeleSignature::Lecture::Complete);
    EXPECT_TRUE(lu.QualiteOrigine);
    EXPECT_EQ(lu.QualiteJPEG, 75) << "the number is kept for the other pictures";

    // New turns it off; opening the template turns it on again.
    vue->ReinitialiseTout();
    EXPECT_FALSE(Case()->isChecked());
    AttendQualite(true);
    ASSERT_TRUE(application->Document()->OnOpenDocument(chemin));
    EXPECT_TRUE(Case()->isChecked());
    AttendQualite(false);

    // Kept in the store and shown again at the next start.
    Arrete();
    EXPECT_EQ(QSettings(QString::fromStdString(bac.path("config/Quillon/Tamparo2.conf")), QSettings::IniFormat)
                  .value("QualiteOrigine")
                  .toString(),
              "1");
    Demarre();
    EXPECT_TRUE(Case()->isChecked());
    AttendQualite(false);
}
