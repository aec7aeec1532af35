// The GOOD and BAD lists: positions, links and counts after every kind of
// edit, refusals with their exact boxes, joined names of any length, deleted
// lists and running out of memory.
#include "engine/GoodBadListC.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "core/ErrHandleC.h"
#include "framework/native/StandIns.h"
#include "tests/unit/Boxes.h"

namespace {

using Names = std::vector<std::string>;
const auto GOOD = GoodBadListC::GOOD;
const auto BAD = GoodBadListC::BAD;
const GoodBadListC::ReallocFn SystemRealloc = GoodBadListC::Realloc;

using testboxes::box;

// Fails every request larger than Limit bytes.
std::size_t Limit = 0;
void* limitedRealloc(void* old, std::size_t size) {
    return size > Limit ? nullptr : std::realloc(old, size);
}

class GoodBadListTest : public ::testing::Test {
  protected:
    void SetUp() override {
        standin::resetAll();
        ErrHandle.setTitle(ReleaseStr);
    }
    void TearDown() override {
        GoodBadListC::Realloc = SystemRealloc;
        standin::resetAll();
    }
    // The names from First along Next; checks that Prev mirrors Next and that
    // the chain is as long as FCount says (one empty First when empty).
    Names chain(int list) {
        const GoodBadListC::ListS& l = list == GOOD ? L.Good : L.Bad;
        Names names;
        const GoodBadListC::ElemS* prev = nullptr;
        for (auto* e = l.First; e != nullptr; prev = e, e = e->Next) {
            EXPECT_EQ(e->Prev, prev) << "at position " << names.size() + 1;
            names.push_back(e->FName);
        }
        EXPECT_EQ(names.size(), size_t(l.FCount > 0 ? l.FCount : 1));
        return names;
    }
    Names boxTexts() { return testboxes::takeTexts(); }
    void fill(int list, const Names& names) {
        for (const auto& n : names) L.appendNew(list, n.c_str());
    }

    GoodBadListC L;
};

TEST_F(GoodBadListTest, BuildsDefaultsAndEmptyListsThenAppendReusesFirst) {
    EXPECT_EQ(L.Height, 50.0);
    EXPECT_EQ(L.Width, 10.0);
    EXPECT_FALSE(L.ParamsValid);
    EXPECT_EQ(chain(GOOD), Names{""});
    EXPECT_EQ(chain(BAD), Names{""});
    GoodBadListC::ElemS* first = L.Good.First;
    EXPECT_EQ(L.appendNew(GOOD, "a"), 1);
    EXPECT_EQ(L.Good.First, first);
    EXPECT_EQ(L.appendNew(GOOD, "b"), 2);
    EXPECT_EQ(L.appendNew(GOOD, "a"), 3);
    EXPECT_EQ(L.appendNew(7, "x"), 1);  // any selector but GOOD is BAD
    EXPECT_EQ(chain(GOOD), (Names{"a", "b", "a"}));
    EXPECT_EQ(chain(BAD), Names{"x"});
    EXPECT_EQ(L.getPos(GOOD, "a"), 1);
    EXPECT_EQ(L.getPos(GOOD, "b"), 2);
    EXPECT_EQ(L.getPos(GOOD, "A"), 0);
    EXPECT_EQ(L.getPos(GOOD, "ab"), 0);
    EXPECT_EQ(L.getPos(BAD, "a"), 0);
    EXPECT_EQ(std::string(L.getName(GOOD, 3)), "a");
    EXPECT_TRUE(boxTexts().empty());
}

TEST_F(GoodBadListTest, DeletesFirstMiddleLastAndOnlyKeepingLinks) {
    fill(GOOD, {"a", "b", "c", "d"});
    EXPECT_EQ(L.deleteElem(GOOD, 4), 3);
    EXPECT_EQ(L.deleteElem(GOOD, 2), 1);
    EXPECT_EQ(chain(GOOD), (Names{"a", "c"}));
    EXPECT_EQ(L.deleteElem(GOOD, 1), 0);
    EXPECT_EQ(chain(GOOD), Names{"c"});
    EXPECT_EQ(L.deleteElem(GOOD, 1), 0);
    EXPECT_EQ(L.getTotal(GOOD), 0);
    EXPECT_EQ(chain(GOOD), Names{""});
    EXPECT_EQ(L.getName(GOOD, 1), nullptr);
    EXPECT_TRUE(boxTexts().empty());
    EXPECT_EQ(L.appendNew(GOOD, "e"), 1);
    EXPECT_EQ(chain(GOOD), Names{"e"});
}

TEST_F(GoodBadListTest, InsertsInFrontAfterAMiddleNameAndAtTheEnd) {
    EXPECT_EQ(L.insertPos(GOOD, 0, "b"), 1);
    EXPECT_EQ(L.insertPos(GOOD, 0, "a"), 1);
    EXPECT_EQ(L.insertPos(GOOD, 2, "d"), 3);
    EXPECT_EQ(L.insertPos(GOOD, 2, "c"), 3);
    EXPECT_EQ(L.insertPos(GOOD, L.getTotal(GOOD), "e"), 5);
    EXPECT_EQ(chain(GOOD), (Names{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(L.appendNew(GOOD, "f"), 6);
    EXPECT_EQ(chain(GOOD), (Names{"a", "b", "c", "d", "e", "f"}));
}

TEST_F(GoodBadListTest, RefusalsShowTheirBoxAndLeaveTheListAlone) {
    fill(GOOD, {"a", "b"});
    EXPECT_EQ(L.appendNew(GOOD, nullptr), -1);
    EXPECT_EQ(L.appendNew(GOOD, ""), -1);
    EXPECT_EQ(L.getPos(GOOD, nullptr), -1);
    EXPECT_EQ(L.getPos(GOOD, ""), -1);
    EXPECT_EQ(L.deleteElem(GOOD, 0), -1);
    EXPECT_EQ(L.deleteElem(GOOD, 3), -1);
    EXPECT_EQ(L.getName(GOOD, -1), nullptr);
    EXPECT_EQ(L.getName(GOOD, 3), nullptr);  // past the end: no box
    EXPECT_EQ(L.insertPos(GOOD, 1, nullptr), -1);
    EXPECT_EQ(L.insertPos(GOOD, 1, ""), -1);
    EXPECT_EQ(L.insertPos(GOOD, 3, "x"), -1);
    EXPECT_EQ(L.insertPos(GOOD, -1, "x"), -1);
    EXPECT_EQ(
        boxTexts(),
        (Names{
            box("GoodBadListC::appendNew(list, Fname): NULL Fname pointer.", -2),
            box("GoodBadListC::appendNew(list, Fname):  Fname is NULL string.", -3),
            box("GoodBadListC::getPos(list, Fname) called with NULL Fname ptr.", -2),
            box("GoodBadListC::getPos(list, Fname):  Fname is NULL string.", -3),
            box("GoodBadListC::deleteElem(list, pos=0):  position must be > 0.", -2),
            box("GoodBadListC::deleteElem(list, pos=3):  Short list:\nTotal elements only = 2.",
                -3),
            box("GoodBadListC::getName(ListS, pos=4294967295):  Illegal position; must be > "
                "0.\n",
                -2),
            box("GoodBadListC::insertPos(list, pos=1, Fname) Fname ptr is NULL.", -2),
            box("GoodBadListC::insertPos(list, pos=1, Fname) Fname is NULL string.", -3),
            box("GoodBadListC::insertPos(list, pos=3, Fname=[x]):   Short list.\nPosition is "
                "beyond last element=2.",
                -5),
            box("GoodBadListC::insertPos(list, pos=-1, Fname=[x]):   passed illegal pos.\n"
                "Position must be >=0; was passed pos=4294967295.",
                -5),
        }));
    EXPECT_EQ(chain(GOOD), (Names{"a", "b"}));
}

TEST_F(GoodBadListTest, ADamagedListIsReportedByGetName) {
    fill(GOOD, {"a"});
    L.Good.FCount = 3;  // the chain holds one element only
    EXPECT_EQ(L.getName(GOOD, 3), nullptr);
    L.Good.FCount = 1;
    L.Good.First->FName[0] = '\0';
    EXPECT_EQ(L.getName(GOOD, 1), nullptr);
    EXPECT_EQ(boxTexts(),
              (Names{box("GoodBadListC::getName(ListS, pos=3):  Unused element at "
                         "position=3:\nListS.Elem03->FName is NULL.",
                         -4),
                     box("GoodBadListC::getName(ListS, pos=1):  FName is NULL string.", -6)}));
}

TEST_F(GoodBadListTest, ClearListEmptiesAnyNumberOfTimes) {
    fill(BAD, {"a", "b", "c"});
    EXPECT_EQ(L.clearList(BAD), 0);
    EXPECT_EQ(L.clearList(BAD), 0);
    EXPECT_EQ(chain(BAD), Names{""});
    EXPECT_EQ(std::string(L.listNames(BAD)), "");
    EXPECT_EQ(L.appendNew(BAD, "d"), 1);
    EXPECT_EQ(std::string(L.listNames(BAD)), "d ");
}

TEST_F(GoodBadListTest, NamesLongerThan2048CharactersAreCut) {
    const std::string longName(5000, 'n');
    const std::string cut(2048, 'n');
    L.appendNew(GOOD, longName.c_str());
    L.insertPos(GOOD, 0, longName.c_str());
    L.insertPos(GOOD, 1, (cut + "x").c_str());
    EXPECT_EQ(chain(GOOD), (Names{cut, cut, cut}));
    EXPECT_EQ(L.getPos(GOOD, cut.c_str()), 1);
    EXPECT_EQ(L.getPos(GOOD, longName.c_str()), 0);
}

TEST_F(GoodBadListTest, JoinedNamesOfThousandsOfLongNamesAreCompleteAndIntact) {
    EXPECT_EQ(std::string(L.listNames(GOOD)), "");
    std::string expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string name = std::to_string(i) + std::string(2000, 'a' + i % 26);
        L.appendNew(GOOD, name.c_str());
        expected += name + " ";
        if (i == 0) {
            EXPECT_EQ(std::string(L.listNames(GOOD)), expected);
        }
    }
    L.appendNew(BAD, "bad");
    EXPECT_EQ(std::string(L.listNames(GOOD)), expected);
    EXPECT_EQ(std::string(L.listNames(BAD)), "bad ");
}

TEST_F(GoodBadListTest, JoinedNamesThatFindNoMemoryStopAfterTheLastWholeName) {
    std::string fits;  // five names of 2000 characters fill the first 10240 bytes
    for (char c = 'a'; c <= 'f'; ++c) {
        L.appendNew(GOOD, std::string(2000, c).c_str());
        if (c < 'f') fits += std::string(2000, c) + " ";
    }
    Limit = GoodBadListC::JoinedSizeFloor;
    GoodBadListC::Realloc = limitedRealloc;
    EXPECT_EQ(std::string(L.listNames(GOOD)), fits);
    EXPECT_EQ(boxTexts(),
              Names{box("GoodBadListC::listNames(list):  Can't allocate memory for the "
                        "joined names.\nGOOD List: only 5 of FCount=6 names are listed.",
                        -4)});
    Limit = 0;
    EXPECT_EQ(std::string(L.listNames(BAD)), "");  // nothing to list: no memory needed, no box
    EXPECT_TRUE(boxTexts().empty());
}

TEST_F(GoodBadListTest, ADeletedListRefusesEveryOperationSafely) {
    fill(GOOD, {"a", "b"});
    L.deleteList(GOOD);
    L.deleteList(GOOD);
    EXPECT_EQ(L.Good.First, nullptr);
    EXPECT_TRUE(boxTexts().empty());
    EXPECT_EQ(L.appendNew(GOOD, "x"), -1);
    EXPECT_EQ(L.getName(GOOD, 1), nullptr);
    EXPECT_EQ(L.getPos(GOOD, "a"), -1);
    EXPECT_EQ(L.deleteElem(GOOD, 1), -1);
    EXPECT_EQ(L.insertPos(GOOD, 0, "x"), -1);
    EXPECT_EQ(std::string(L.listNames(GOOD)), "");
    EXPECT_EQ(L.getTotal(GOOD), -1);
    EXPECT_EQ(L.clearList(GOOD), -1);
    auto noList = [](const std::string& operation, int status) {
        return box("GoodBadListC::" + operation +
                       ":  NO LIST!.\nGOOD List FCount=-1.\nThis list has been deleted!",
                   status);
    };
    EXPECT_EQ(boxTexts(),
              (Names{noList("appendNew(list, Fname)", -8), noList("getName(ListS, pos)", -8),
                     noList("getPos(list, Fname)", -8), noList("deleteElem(list, pos)", -8),
                     noList("insertPos(list, pos, Fname)", -8), noList("listNames(list)", -8),
                     box("GoodBadListC::getTotal(ListS):  Illegal FCount=4294967295; must be >= "
                         "0.\n",
                         -2),
                     noList("clearList()", -2)}));
    EXPECT_EQ(L.Good.First, nullptr);
    EXPECT_EQ(L.appendNew(BAD, "b"), 1);  // the other list lives on
    L.initLists();
    EXPECT_EQ(chain(GOOD), Names{""});
    EXPECT_EQ(chain(BAD), Names{""});
}

// Random edits against a plain vector: positions, links and the remembered
// walking position must agree with it after every step.
TEST_F(GoodBadListTest, MixedEditsAgreeWithAVectorModel) {
    std::mt19937 random(12345);
    Names model;
    for (int step = 0; step < 8000; ++step) {
        const int count = int(model.size());
        const int pos = int(random() % (count + 2));
        const std::string name = "n" + std::to_string(step);
        switch (random() % 4) {
            case 0:
                ASSERT_EQ(L.appendNew(GOOD, name.c_str()), count + 1);
                model.push_back(name);
                break;
            case 1:
                if (pos > count) break;
                ASSERT_EQ(L.insertPos(GOOD, pos, name.c_str()), pos + 1);
                model.insert(model.begin() + pos, name);
                break;
            case 2:
                if (pos < 1 || pos > count) break;
                ASSERT_EQ(L.deleteElem(GOOD, pos), pos - 1);
                model.erase(model.begin() + pos - 1);
                break;
            default:
                const char* got = L.getName(GOOD, pos);
                ASSERT_EQ(got == nullptr, pos < 1 || pos > count) << step;
                if (got != nullptr) {
                    ASSERT_EQ(std::string(got), model[pos - 1]) << step;
                }
        }
        standin::clearShownBoxes();  // getName(0) warns
    }
    EXPECT_EQ(chain(GOOD), model.empty() ? Names{""} : model);
}

using GoodBadListDeathTest = GoodBadListTest;

TEST_F(GoodBadListDeathTest, NoMemoryForAnElementIsFatal) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    fill(GOOD, {"a"});
    auto starved = [&](auto operation) {
        standin::echoBoxesToStderr(true);
        Limit = 0;
        GoodBadListC::Realloc = limitedRealloc;
        operation();
    };
    EXPECT_EXIT(starved([&] { L.appendNew(GOOD, "b"); }), ::testing::ExitedWithCode(252),
                "appendNew\\(list, Fname\\):\nCan't allocate a new list element for append at "
                "position=1 for\nFname=\\[b\\]\\.\n   -----> Status=-4");
    EXPECT_EXIT(starved([&] { L.insertPos(GOOD, 0, "b"); }), ::testing::ExitedWithCode(250),
                "pos=0, Fname=\\[b\\]\\):\nCan't allocate a new first list element\\.");
    EXPECT_EXIT(starved([&] { L.insertPos(GOOD, 1, "b"); }), ::testing::ExitedWithCode(249),
                "pos=1, Fname\\):\nCan't allocate memory for new element for Fname=\\[b\\]\\.");
    EXPECT_EXIT(starved([] { GoodBadListC fresh; }), ::testing::ExitedWithCode(254),
                "initLists\\(\\):\nGood\\.First==NULL pointer\\.");
}

}  // namespace
