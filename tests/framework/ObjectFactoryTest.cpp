// Class factories for automation objects and the self-deleting command target.

#include "framework/ObjectFactory.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

namespace {

using testing::ElementsAre;
using testing::IsEmpty;

class FakeRegistry : public framework::ObjectRegistry {
public:
    std::vector<std::string> calls;
    bool accept = true;

    bool RegisterRunning(framework::ObjectFactory& f) override {
        calls.push_back("run " + f.GetProgId());
        return accept;
    }
    void RevokeRunning(framework::ObjectFactory& f) override {
        calls.push_back("revoke " + f.GetProgId());
    }
    bool UpdateRegistration(framework::ObjectFactory& f) override {
        calls.push_back("update " + f.GetProgId());
        return accept;
    }
};

class Counted : public framework::CommandTarget {
public:
    explicit Counted(int& alive) : m_alive(alive) { ++m_alive; }
    ~Counted() override { --m_alive; }

private:
    int& m_alive;
};

class ObjectFactoryTest : public testing::Test {
protected:
    void SetUp() override { framework::SetObjectRegistry(&registry); }
    void TearDown() override { framework::SetObjectRegistry(nullptr); }

    bool Listed(const framework::ObjectFactory* f) {
        const auto all = framework::ObjectFactory::All();
        return std::find(all.begin(), all.end(), f) != all.end();
    }

    FakeRegistry registry;
    int alive = 0;
};

TEST_F(ObjectFactoryTest, FactoriesJoinTheListAndLeaveItRevoked) {
    {
        framework::ObjectFactory f("{1}", "A.App", true, nullptr);
        EXPECT_TRUE(Listed(&f));
        EXPECT_TRUE(f.Register());
        EXPECT_TRUE(f.Register());  // once is enough
        EXPECT_EQ(f.GetClassId(), "{1}");
        EXPECT_TRUE(f.IsMultipleInstance());
    }
    EXPECT_THAT(registry.calls, ElementsAre("run A.App", "revoke A.App"));
    EXPECT_THAT(framework::ObjectFactory::All(), IsEmpty());
}

TEST_F(ObjectFactoryTest, RegisterAllAndUpdateAllReachEveryFactory) {
    framework::ObjectFactory a("{1}", "A", false, nullptr);
    framework::ObjectFactory b("{2}", "B", false, nullptr);
    EXPECT_TRUE(framework::ObjectFactory::RegisterAll());
    EXPECT_TRUE(framework::ObjectFactory::UpdateRegistryAll());
    framework::ObjectFactory::RevokeAll();
    framework::ObjectFactory::RevokeAll();
    EXPECT_THAT(registry.calls,
                ElementsAre("run A", "run B", "update A", "update B", "revoke A", "revoke B"));
}

TEST_F(ObjectFactoryTest, ARefusedRegistrationIsReported) {
    registry.accept = false;
    framework::ObjectFactory a("{1}", "A", false, nullptr);
    EXPECT_FALSE(framework::ObjectFactory::RegisterAll());
    EXPECT_FALSE(a.IsRegistered());
    EXPECT_FALSE(framework::ObjectFactory::UpdateRegistryAll());
    registry.calls.clear();
}

TEST_F(ObjectFactoryTest, WithoutARegistryRegistrationIsBookkeepingOnly) {
    framework::SetObjectRegistry(nullptr);
    framework::ObjectFactory a("{1}", "A", false, nullptr);
    EXPECT_TRUE(a.Register());
    EXPECT_TRUE(a.IsRegistered());
    EXPECT_TRUE(a.UpdateRegistry());
}

TEST_F(ObjectFactoryTest, ASingleUseFactoryMakesOneObjectPerProgram) {
    framework::ObjectFactory single("{1}", "S", true, [&] { return new Counted(alive); });
    EXPECT_EQ(single.CreateObject(), nullptr);  // not registered yet
    single.Register();
    framework::CommandTarget* object = single.CreateObject();
    ASSERT_NE(object, nullptr);
    EXPECT_FALSE(single.IsRegistered());
    EXPECT_EQ(single.CreateObject(), nullptr);
    EXPECT_EQ(alive, 1);
    object->Release();
    EXPECT_EQ(alive, 0);

    framework::ObjectFactory shared("{2}", "M", false, [&] { return new Counted(alive); });
    shared.Register();
    framework::CommandTarget* first = shared.CreateObject();
    framework::CommandTarget* second = shared.CreateObject();
    EXPECT_TRUE(shared.IsRegistered());
    EXPECT_EQ(alive, 2);
    first->Release();
    second->Release();
    EXPECT_EQ(alive, 0);
}

TEST(CommandTargetTest, TheLastReleaseDeletesTheObjectOnce) {
    int alive = 0;
    auto* object = new Counted(alive);
    EXPECT_EQ(object->GetRefCount(), 1);
    EXPECT_EQ(object->AddRef(), 2);
    EXPECT_EQ(object->Release(), 1);
    EXPECT_EQ(alive, 1);
    EXPECT_EQ(object->Release(), 0);
    EXPECT_EQ(alive, 0);
}

TEST(CommandTargetTest, AFinalReleaseHandlerCanKeepTheObject) {
    struct Kept : framework::CommandTarget {
        int finalReleases = 0;
        void OnFinalRelease() override { ++finalReleases; }
    } kept;
    kept.Release();
    kept.Release();  // beyond the last reference: ignored
    EXPECT_EQ(kept.finalReleases, 1);
}

}  // namespace
