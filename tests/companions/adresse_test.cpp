// The address control on its own window, typed into with keys and the mouse:
// what it loads, compares and saves, the stored form of each field, the
// communes offered for a postal code, the checks and the tab order.

#include <QCheckBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "adresse/adresse.h"
#include "forms/button.h"
#include "forms/combobox.h"
#include "forms/label.h"
#include "forms/scripteduiservice.h"
#include "forms/textbox.h"
#include "operator.h"

namespace {

using zonitra::Adresse;

class AdresseControl : public ::testing::Test {
protected:
    void SetUp() override {
        db_ = kelmor::Database::OpenSqlite(dir_.filePath("adresse.db").toStdString());
        db_->CreateFile(zonitra::kCommuneFile);
        const kelmor::DbFile communes = db_->OpenFile(zonitra::kCommuneFile);
        for (const auto& [code, names] :
             {std::pair<std::string, std::vector<std::string>>{
                  "01000", {"BOURG EN BRESSE", "SAINT DENIS LES BOURG"}},
              {"42000", {"SAINT ETIENNE"}}}) {
            kelmor::DbRecord record = communes.NewRecord(code);
            record.SetValues(1, names);
            record.DBWrite();
        }
        ctl_.SetAddressDatabase(db_);
        ctl_.show();
        ctl_.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&ctl_));
    }
    // A sector-like record: the address from 5 between attributes the control must not touch.
    static kelmor::DynArray Record() {
        kelmor::DynArray r;
        const std::vector<std::string> attributes = {"LYON CENTRE",
                                                     "",
                                                     "SAP/1",
                                                     "18278",
                                                     "12 RUE DE LA REPUBLIQUE",
                                                     "Bâtiment A",
                                                     "",
                                                     "69002",
                                                     "LYON",
                                                     "04 78 42 15 30",
                                                     "",
                                                     "0",
                                                     "",
                                                     "",
                                                     "",
                                                     "",
                                                     "001",
                                                     "18874"};
        for (std::size_t a = 0; a < attributes.size(); ++a) r.Set(int(a + 1), attributes[a]);
        return r;
    }
    void Flags(std::int16_t a, std::int16_t b) {
        ctl_.SetAddressFlagA(a);
        ctl_.SetAddressFlagB(b);
        ctl_.AddressPrepare();
    }
    template <class T = QWidget>
    T* Field(const char* name) {
        T* field = ctl_.findChild<T*>(name);
        EXPECT_NE(field, nullptr) << name;
        return field;
    }
    QString Text(const char* name) {
        if (auto* combo = ctl_.findChild<forms::ComboBox*>(name)) return combo->Text();
        return Field<forms::TextBox>(name)->Text();
    }
    void TypeOver(const char* name, const QString& text) {
        drive::Clear(Field(name));
        drive::Type(Field(name), text);
    }
    void Leave(const char* name) { drive::PressKey(Field(name), drive::KeyName::Tab); }
    QString Shown() { return Field<forms::Label>("Etq_Controle")->Caption(); }

    forms::ScriptedUiService ui_;
    forms::ScopedUi scope_{ui_};
    QTemporaryDir dir_;
    std::shared_ptr<kelmor::Database> db_;
    Adresse ctl_;
};

TEST_F(AdresseControl, SavesExactlyTheEightAddressAttributes) {
    Flags(-1, -1);
    const kelmor::DynArray stored = Record();
    EXPECT_EQ(ctl_.AddressLoad(5, stored), "Bâtiment A\r\n12 RUE DE LA REPUBLIQUE\r\n69002 LYON");
    EXPECT_EQ(Text("Txt_Ligne2"), "Bâtiment A");
    EXPECT_EQ(ctl_.AddressModified(5, stored), 0);

    TypeOver("Txt_Fax", "0478421531");
    Field<QCheckBox>("Chk_Cedex")->click();
    EXPECT_EQ(ctl_.AddressModified(5, stored), -1);
    kelmor::DynArray saved = stored;
    ctl_.AddressSave(5, saved);
    kelmor::DynArray expected = stored;
    expected.Set(11, "0478421531");  // not left yet: saved as shown
    expected.Set(12, "1");
    EXPECT_EQ(saved.Text(), expected.Text());
    EXPECT_EQ(ctl_.AddressModified(5, saved), 0);

    // Compared exactly: an empty CEDEX attribute is not the "0" the box saves.
    kelmor::DynArray empty12 = stored;
    empty12.Set(12, "");
    ctl_.AddressLoad(5, empty12);
    EXPECT_EQ(ctl_.AddressModified(5, empty12), -1);
    // From another first attribute, the same eight places shifted.
    kelmor::DynArray shifted;
    ctl_.AddressSave(2, shifted);
    EXPECT_EQ(shifted.Get(5), "69002");
    EXPECT_EQ(shifted.AttributeCount(), 9);
    EXPECT_THROW(ctl_.AddressSave(0, shifted), std::invalid_argument);
}

TEST_F(AdresseControl, LeftFieldsTakeTheirStoredForm) {
    Flags(0, 0);
    const struct {
        const char* field;
        const char* typed;
        const char* stored;
    } cases[] = {
        {"Txt_Ligne1", "12 rue de la république", "12 RUE DE LA REPUBLIQUE"},
        {"Txt_Ligne2", "Bât. A, esc. 2", "Bât. A, esc. 2"},
        {"Txt_Ligne3", "bp 118", "BP 118"},
        {"Cbo_Commune", "saint-étienne", "SAINT ETIENNE"},
        {"Txt_Telephone", "04.78.42.15.30", "04 78 42 15 30"},
        {"Txt_Fax", "04 78", "04 78"},
    };
    for (const auto& c : cases) {
        TypeOver(c.field, QString::fromUtf8(c.typed));
        Leave(c.field);
        EXPECT_EQ(Text(c.field), QString::fromUtf8(c.stored)) << c.field;
    }
    TypeOver("Txt_Ligne1", "rue");
    EXPECT_EQ(Text("Txt_Ligne1"), "RUE");  // capitals as typed
    TypeOver("Txt_CodePostal", "6900269");
    EXPECT_EQ(Text("Txt_CodePostal"), "69002");
}

TEST_F(AdresseControl, OffersTheCommunesOfATypedPostalCode) {
    Flags(-1, -1);
    auto* commune = Field<forms::ComboBox>("Cbo_Commune");
    TypeOver("Txt_CodePostal", "01000");
    ASSERT_EQ(commune->ListCount(), 2);
    EXPECT_EQ(commune->Text(), "");  // two to choose from
    drive::Choose(commune, 1);
    EXPECT_EQ(commune->Text(), "SAINT DENIS LES BOURG");

    TypeOver("Txt_CodePostal", "42000");  // one commune, but one is already there
    EXPECT_EQ(commune->ListCount(), 1);
    Leave("Txt_CodePostal");
    EXPECT_EQ(Shown(),
              "La commune « SAINT DENIS LES BOURG » n'est pas desservie par le code postal 42000.");
    drive::Clear(commune);
    TypeOver("Txt_CodePostal", "42000");
    EXPECT_EQ(commune->Text(), "SAINT ETIENNE");
    TypeOver("Txt_CodePostal", "4200");
    EXPECT_EQ(commune->ListCount(), 0);
    EXPECT_EQ(commune->Text(), "SAINT ETIENNE");  // offers go, the text stays

    Flags(0, -1);  // not asked to offer
    TypeOver("Txt_CodePostal", "01000");
    EXPECT_EQ(commune->ListCount(), 0);
    // A database without the file offers nothing.
    auto bare = kelmor::Database::OpenSqlite(dir_.filePath("bare.db").toStdString());
    ctl_.SetAddressDatabase(bare);
    Flags(-1, -1);
    TypeOver("Txt_CodePostal", "01000");
    EXPECT_EQ(commune->ListCount(), 0);
    ctl_.SetAddressDatabase(nullptr);
    ctl_.SetAddressFlagA(-1);
    EXPECT_THROW(ctl_.AddressPrepare(), std::logic_error);
}

TEST_F(AdresseControl, ChecksSayWhatIsWrongAndLetTheFocusGo) {
    Flags(0, -1);
    TypeOver("Txt_CodePostal", "6900");
    Leave("Txt_CodePostal");
    EXPECT_EQ(Shown(), "Le code postal « 6900 » doit comporter cinq chiffres.");
    EXPECT_EQ(QApplication::focusWidget(), Field("Cbo_Commune"));
    TypeOver("Txt_Telephone", "04 78");
    Leave("Txt_Telephone");
    EXPECT_EQ(ctl_.Problems().size(), 2u);
    TypeOver("Txt_CodePostal", "69002");
    Leave("Txt_CodePostal");
    EXPECT_EQ(Shown(), "Le téléphone « 04 78 » doit comporter dix chiffres, espaces permis.");
    ctl_.SetAddressFlagB(0);
    EXPECT_EQ(Shown(), "");

    // A stored address is checked as it is loaded.
    kelmor::DynArray odd = Record();
    odd.Set(8, "96000");
    ctl_.SetAddressFlagB(-1);
    ctl_.AddressLoad(5, odd);
    EXPECT_EQ(Shown(), "Le code postal « 96000 » ne correspond à aucun département.");
    EXPECT_TRUE(ui_.Messages().empty());  // never a message box
}

TEST_F(AdresseControl, TabGoesRoundTheFieldsOrOnToTheHostsControls) {
    Flags(0, 0);
    drive::Focus(Field("Txt_Fax"));
    Leave("Txt_Fax");
    EXPECT_EQ(QApplication::focusWidget(), Field("Txt_Ligne1"));

    forms::Form host;
    auto* hosted = new Adresse(&host);
    auto* after = new forms::Button(QStringLiteral("Ok"), &host);
    after->setObjectName("Cmd_Ok");
    after->move(0, hosted->sizeHint().height());
    host.SetTabIndex(after, hosted->JoinTabOrder(host, 0));
    host.show();
    host.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    std::vector<std::string> visited;
    drive::Focus(hosted->findChild<QWidget*>("Txt_Ligne1"));
    for (int i = 0; i < 9; ++i) {
        visited.push_back(QApplication::focusWidget()->objectName().toStdString());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, (std::vector<std::string>{"Txt_Ligne1", "Txt_Ligne2", "Txt_Ligne3",
                                                 "Txt_CodePostal", "Cbo_Commune", "Chk_Cedex",
                                                 "Txt_Telephone", "Txt_Fax", "Cmd_Ok"}));
}

}  // namespace
