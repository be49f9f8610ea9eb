// The address control on its own window, typed into with keys and the mouse:
// what it compares and saves, the stored form of each field, the communes
// offered for a postal code, the checks and the tab order inside a host.

#include <QCheckBox>
#include <QTest>

#include <gtest/gtest.h>

#include "adresse/adresse.h"
#include "editor_harness.h"
#include "forms/button.h"
#include "forms/combobox.h"
#include "forms/label.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"
#include "operator.h"
#include "test_support.h"

namespace {

class AdresseControl : public ::testing::Test {
protected:
    void SetUp() override {
        ctl_.SetAddressDatabase(data_.PlainShared());
        Prepare(-1, -1);
        ctl_.show();
        ctl_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&ctl_));
    }
    void Prepare(std::int16_t offer, std::int16_t check) {
        ctl_.SetAddressFlagA(offer);
        ctl_.SetAddressFlagB(check);
        ctl_.AddressPrepare();
    }
    QWidget* Field(const char* name) { return ctl_.findChild<QWidget*>(name); }
    QString Text(const char* name) {
        if (auto* combo = qobject_cast<forms::ComboBox*>(Field(name))) return combo->Text();
        return qobject_cast<forms::TextBox*>(Field(name))->Text();
    }
    void TypeOver(const char* name, const QString& text, bool leave = false) {
        drive::Clear(Field(name));
        drive::Type(Field(name), text);
        if (leave) drive::PressKey(Field(name), drive::KeyName::Tab);
    }
    QString Warning() { return ctl_.findChild<forms::Label*>("Etq_Controle")->Caption(); }

    forms::ScriptedUiService ui_;
    forms::ScopedUi scope_{ui_};
    const std::string communes_{zonitra::kCommuneFile};
    harness::TestData data_{{communes_ + ";01000;1=BOURG EN BRESSE]SAINT DENIS LES BOURG",
                             communes_ + ";42000;1=SAINT ETIENNE"}};
    zonitra::Adresse ctl_;
};

TEST_F(AdresseControl, ComparesExactlyAndSavesOnlyTheEightAddressAttributes) {
    // The address from 5, between attributes it must not touch.
    kelmor::DynArray stored(
        kelmor::test::Marks("LYON CENTRE^^SAP/1^18278^12 RUE DE LA REPUBLIQUE^Bâtiment "
                            "A^^69002^LYON^04 78 42 15 30^^0^^^^^"
                            "001"));
    EXPECT_EQ(ctl_.AddressLoad(5, stored), "Bâtiment A\r\n12 RUE DE LA REPUBLIQUE\r\n69002 LYON");
    EXPECT_EQ(ctl_.AddressModified(5, stored), 0);

    TypeOver("Txt_Fax", "0478421531");
    ctl_.findChild<QCheckBox*>("Chk_Cedex")->click();
    EXPECT_EQ(ctl_.AddressModified(5, stored), -1);
    kelmor::DynArray saved = stored, expected = stored;
    ctl_.AddressSave(5, saved);
    expected.Set(11, "0478421531");  // not left yet: saved as shown
    expected.Set(12, "1");
    EXPECT_EQ(saved.Text(), expected.Text());
    EXPECT_EQ(ctl_.AddressModified(5, saved), 0);

    stored.Set(12, "");  // not the "0" an unticked box saves
    ctl_.AddressLoad(5, stored);
    EXPECT_EQ(ctl_.AddressModified(5, stored), -1);
    EXPECT_THROW(ctl_.AddressSave(0, saved), std::invalid_argument);
}

// Lines 1 and 3 and the telephone are left in their stored form by the
// address script; here, the fields kept as typed and the commune.
TEST_F(AdresseControl, LeftFieldsTakeTheirStoredForm) {
    const struct {
        const char* field;
        const char* typed;
        const char* stored;
    } cases[] = {
        {"Txt_Ligne2", "Bât. A, esc. 2", "Bât. A, esc. 2"},
        {"Cbo_Commune", "saint-étienne", "SAINT ETIENNE"},
        {"Txt_Fax", "04 78", "04 78"},
    };
    for (const auto& c : cases) {
        TypeOver(c.field, QString::fromUtf8(c.typed), true);
        EXPECT_EQ(Text(c.field), QString::fromUtf8(c.stored)) << c.field;
    }
    TypeOver("Txt_Ligne1", "rue");
    EXPECT_EQ(Text("Txt_Ligne1"), "RUE");  // capitals as typed
    TypeOver("Txt_CodePostal", "6900269");
    EXPECT_EQ(Text("Txt_CodePostal"), "69002");
}

TEST_F(AdresseControl, OffersTheCommunesOfATypedCodeAndWarnsWithoutHoldingTheFocus) {
    auto* commune = qobject_cast<forms::ComboBox*>(Field("Cbo_Commune"));
    TypeOver("Txt_CodePostal", "0100");
    EXPECT_EQ(commune->ListCount(), 0);
    drive::Type(Field("Txt_CodePostal"), "0");
    ASSERT_EQ(commune->ListCount(), 2);
    EXPECT_EQ(commune->Text(), "");  // two to choose from
    drive::Choose(commune, 1);
    EXPECT_EQ(commune->Text(), "SAINT DENIS LES BOURG");

    TypeOver("Txt_CodePostal", "42000", true);  // one commune, but one is there already
    EXPECT_EQ(commune->ListCount(), 1);
    EXPECT_EQ(Warning(),
              "La commune « SAINT DENIS LES BOURG » n'est pas desservie par le code postal 42000.");
    EXPECT_EQ(QApplication::focusWidget(), commune);
    drive::Clear(commune);
    TypeOver("Txt_CodePostal", "42000");
    EXPECT_EQ(commune->Text(), "SAINT ETIENNE");

    TypeOver("Txt_CodePostal", "9600", true);
    TypeOver("Txt_Telephone", "04 78", true);
    EXPECT_EQ(ctl_.Problems(),
              (std::vector<QString>{"Le code postal « 9600 » doit comporter cinq chiffres.",
                                    "Le téléphone « 04 78 » doit comporter dix chiffres, "
                                    "espaces permis."}));
    EXPECT_EQ(Warning(), ctl_.Problems().front());
    EXPECT_TRUE(ui_.Messages().empty());  // never a message box
    ctl_.SetAddressFlagB(0);
    EXPECT_EQ(Warning(), "");

    Prepare(0, -1);  // not asked to offer
    TypeOver("Txt_CodePostal", "01000");
    EXPECT_EQ(commune->ListCount(), 0);
    ctl_.SetAddressDatabase(nullptr);
    ctl_.SetAddressFlagA(-1);
    EXPECT_THROW(ctl_.AddressPrepare(), std::logic_error);
}

TEST_F(AdresseControl, TabGoesFromTheLastFieldToTheHostsNextControl) {
    forms::Form host;
    auto* hosted = new zonitra::Adresse(&host);
    auto* after = new forms::Button(QStringLiteral("Ok"), &host);
    after->setObjectName("Cmd_Ok");
    after->move(0, hosted->sizeHint().height());
    host.SetTabIndex(after, hosted->JoinTabOrder(host, 0));
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    std::vector<std::string> visited;
    drive::Focus(hosted->findChild<QWidget*>("Txt_Ligne1"));
    for (int i = 0; i < 10; ++i) {
        visited.push_back(QApplication::focusWidget()->objectName().toStdString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited,
              (std::vector<std::string>{"Txt_Ligne1", "Txt_Ligne2", "Txt_Ligne3", "Txt_CodePostal",
                                        "Cbo_Commune", "Chk_Cedex", "Txt_Telephone", "Txt_Fax",
                                        "Cmd_Ok", "Txt_Ligne1"}));
}

}  // namespace
