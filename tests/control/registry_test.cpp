// Creating the editor by its registered name, as a host does.

#include "control/registry.h"
#include "fixture.h"

namespace {

TEST(Registry, HostCreatesTheEditorByNameWhileItIsRegistered) {
    const char* name = "Zonitra.Ctr_Secteur";
    EXPECT_THROW(zonitra::CreateComponent(name), zonitra::RegistryError);
    zonitra::RegisterServer();
    zonitra::RegisterServer();  // registering again is harmless
    QWidget host;
    auto* ctl = qobject_cast<zonitra::Ctr_Secteur*>(zonitra::CreateComponent(name, &host));
    ASSERT_NE(ctl, nullptr);
    EXPECT_EQ(ctl->parent(), &host);
    EXPECT_FALSE(zonitra::CanUnloadNow());
    delete ctl;
    EXPECT_TRUE(zonitra::CanUnloadNow());

    try {
        zonitra::GetClassObject("Zonitra.Ctr_Inconnu");
        ADD_FAILURE() << "an unknown name gave a factory";
    } catch (const zonitra::RegistryError& error) {
        EXPECT_NE(std::string(error.what()).find("Zonitra.Ctr_Inconnu"), std::string::npos);
    }
    zonitra::UnregisterServer();
    EXPECT_THROW(zonitra::GetClassObject(name), zonitra::RegistryError);
}

}  // namespace
