// The decoding budget on its own: its arithmetic, its accounts and whose
// budget a toolbox decodes under.

#include "CGraphique.h"
#include "codecs/Budget.h"

#include <gtest/gtest.h>

namespace {

constexpr std::uint64_t kMax = UINT64_MAX;

} // namespace

TEST(Budget, PermisSaturatesInsteadOfWrapping)
{
    struct Case {
        std::uint64_t offert, parOctet, octets, attendu;
    };
    for (const Case c : {Case{0, 0, 0, 0}, Case{10, 0, 1000, 10}, Case{10, 4, 3, 22}, Case{1 << 20, 8, 1000, 1056576},
                         Case{1, kMax, 1, kMax}, Case{kMax, 1, 1, kMax}, Case{5, 1 << 30, 1ULL << 40, kMax},
                         Case{kMax - 3, 1, 3, kMax}, Case{kMax - 3, 1, 4, kMax}}) {
        SCOPED_TRACE(testing::Message() << c.offert << " + " << c.parOctet << " x " << c.octets);
        EXPECT_EQ(Budget::Permis(c.offert, c.parOctet, c.octets), c.attendu);
    }
}

TEST(Budget, ReservationsStopAtTheLimitAndARefusalChangesNothing)
{
    Budget budget({100, 1000});
    EXPECT_TRUE(budget.Reserve(600));
    EXPECT_FALSE(budget.Reserve(401));
    EXPECT_EQ(budget.Motif(), Budget::Refus::Memoire);
    EXPECT_EQ(budget.Tenus(), 600u);
    EXPECT_EQ(budget.Disponible(), 400u);
    EXPECT_FALSE(budget.Reserve(kMax)) << "no wrap-around past the limit";
    EXPECT_TRUE(budget.Reserve(400));
    EXPECT_EQ(budget.Disponible(), 0u);
    EXPECT_EQ(budget.Pic(), 1000u);

    // A new decoding starts with nothing held and a clean record; the peak
    // stays what the budget's decodings ever held.
    budget.Debute();
    EXPECT_EQ(budget.Tenus(), 0u);
    EXPECT_EQ(budget.Motif(), Budget::Refus::Aucun);
    EXPECT_TRUE(budget.Reserve(10));
    EXPECT_EQ(budget.Pic(), 1000u);
}

TEST(Budget, EachToolboxDecodesUnderABudgetOfItsOwnAtTheDefaultLimits)
{
    CGraphique graphique;
    CGraphique autre;
    const Budget& propre = graphique.BudgetLecture();
    EXPECT_EQ(propre.Plafonds().pixels, Budget::kDefaut.pixels);
    EXPECT_EQ(propre.Plafonds().octets, Budget::kDefaut.octets);
    EXPECT_NE(&autre.BudgetLecture(), &propre);
}
