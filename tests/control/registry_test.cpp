// Creating the editor by its registered name, as a host does.

#include "control/registry.h"
#include "fixture.h"

namespace {

class Registry : public ::testing::Test {
protected:
    void TearDown() override { zonitra::UnregisterServer(); }
};

TEST_F(Registry, HostCreatesTheEditorByNameOnceRegistered) {
    EXPECT_THROW(zonitra::CreateComponent("Zonitra.Ctr_Secteur"), zonitra::RegistryError);
    zonitra::RegisterServer();
    zonitra::RegisterServer();  // registering twice is harmless

    QWidget host;
    QWidget* created = zonitra::CreateComponent("Zonitra.Ctr_Secteur", &host);
    auto* ctl = qobject_cast<zonitra::Ctr_Secteur*>(created);
    ASSERT_NE(ctl, nullptr);
    EXPECT_EQ(ctl->parent(), &host);
    EXPECT_EQ(ctl->objectName(), "Ctr_Secteur");
    EXPECT_FALSE(zonitra::CanUnloadNow());
    delete ctl;
    EXPECT_TRUE(zonitra::CanUnloadNow());
}

TEST_F(Registry, UnknownOrWithdrawnNamesAreErrorsNamingThem) {
    zonitra::RegisterServer();
    try {
        zonitra::GetClassObject("Zonitra.Ctr_Inconnu");
        FAIL() << "an unknown name gave a factory";
    } catch (const zonitra::RegistryError& error) {
        EXPECT_NE(std::string(error.what()).find("Zonitra.Ctr_Inconnu"), std::string::npos);
    }
    EXPECT_TRUE(static_cast<bool>(zonitra::GetClassObject("Zonitra.Ctr_Secteur")));
    zonitra::UnregisterServer();
    EXPECT_THROW(zonitra::GetClassObject("Zonitra.Ctr_Secteur"), zonitra::RegistryError);
}

}  // namespace
