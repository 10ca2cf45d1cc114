#include "sqd/cache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fixtures/save_builder.h"
#include "fixtures/tool_state.h"
#include "sqd/layout.h"
#include "sqd/load_buffer.h"
#include "support/messages.h"

namespace rostrix {
namespace {

// The pointers a registry holds, in order.
template <typename T>
std::vector<T*> entries(RecordArray* registry) {
    std::vector<T*> out;
    for (int i = 0; i < recordCount(registry); ++i) {
        T* p;
        std::memcpy(&p, getRecord(registry, i), sizeof p);
        out.push_back(p);
    }
    return out;
}

class SqdCache : public ::testing::Test {
protected:
    std::string write(const std::string& name, const SaveBuilder& builder) {
        const std::string path = dir.file(name);
        builder.writeTo(path);
        return path;
    }
    // What has been said since the last call.
    std::string newMessages() {
        const std::string all = state.messages();
        std::string fresh = all.substr(seen_);
        seen_ = all.size();
        return fresh;
    }

    ToolState state;
    TempDir dir;

private:
    std::size_t seen_ = 0;
};

TEST_F(SqdCache, FiveRequestsForOnePathReadItOnce) {
    verbose = 1;
    const std::string path = write("k.sqd", SaveBuilder().unit(2, "Keel").team(0, "Vanguard", "Ash").slot(0, 0, 2, 4));
    SqdImage* image = getSQDfile(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(newMessages(), "File:[" + path + "]\nRead team 1 : Vanguard(Ash)\n");

    // Neither the file nor the buffer is looked at again.
    write("k.sqd", SaveBuilder().team(0, "Changed", "Other").slot(0, 0, 1, 1));
    std::memset(ploadBuffer, 0x77, kLoadBufferSize);
    EXPECT_EQ(getSQDfile(path.c_str()), image);
    EXPECT_EQ(getSQDfile(path.c_str()), image);
    EXPECT_EQ(getVek(path.c_str(), 2), &image->vek[2]);
    EXPECT_EQ(getSQDfile(path.c_str()), image);
    EXPECT_EQ(newMessages(), "");
    EXPECT_EQ(std::vector<unsigned char>(ploadBuffer, ploadBuffer + kLoadBufferSize),
              std::vector<unsigned char>(kLoadBufferSize, 0x77));
    EXPECT_STREQ(image->team[0].name, "Vanguard");
    EXPECT_EQ(entries<SqdImage>(SqdArray), std::vector<SqdImage*>{image});
    EXPECT_EQ(recordCount(TeamArray), 1);
    EXPECT_EQ(recordCount(VekArray), 1);
}

TEST_F(SqdCache, TwoSpellingsOfOneFileAreTwoImages) {
    verbose = 1;
    write("a.sqd", SaveBuilder().unit(0, "Oar").team(0, "Crew", "Ash").slot(0, 0, 0, 0));
    WorkingDirectory inside(dir.path());
    SqdImage* bare = getSQDfile("a.sqd");
    SqdImage* dotted = getSQDfile("./a.sqd");
    ASSERT_NE(bare, nullptr);
    ASSERT_NE(dotted, nullptr);
    EXPECT_NE(bare, dotted);
    EXPECT_STREQ(bare->path, "a.sqd");
    EXPECT_STREQ(dotted->path, "./a.sqd");
    EXPECT_EQ(getSQDfile("a.sqd"), bare);
    EXPECT_EQ(getSQDfile("./a.sqd"), dotted);
    EXPECT_EQ(newMessages(), "File:[a.sqd]\nRead team 1 : Crew(Ash)\nFile:[./a.sqd]\nRead team 1 : Crew(Ash)\n");
    EXPECT_EQ(entries<SqdImage>(SqdArray), (std::vector<SqdImage*>{bare, dotted}));
    EXPECT_EQ(entries<VekRecord>(VekArray), (std::vector<VekRecord*>{&bare->vek[0], &dotted->vek[0]}));
}

TEST_F(SqdCache, MissingFileFailsAndReportsAtEveryRequest) {
    const std::string path = dir.file("later.sqd");
    const std::string openFailure = "fail to open " + path + " : No such file or directory\n";
    for (int v : {0, 1}) {
        verbose = v;
        EXPECT_EQ(getSQDfile(path.c_str()), nullptr);
        EXPECT_EQ(getSQDfile(path.c_str()), nullptr);
        EXPECT_EQ(getVek(path.c_str(), 0), nullptr);
        const std::string once = openFailure + (v ? "Fail to load " + path + "\n" : "");
        EXPECT_EQ(newMessages(), once + once + once) << "verbose " << v;
    }
    EXPECT_EQ(recordCount(SqdArray), 0);

    // The failure is not remembered: once the file is there, it loads.
    write("later.sqd", SaveBuilder());
    SqdImage* image = getSQDfile(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(newMessages(), "File:[" + path + "]\n");
    EXPECT_EQ(recordCount(SqdArray), 1);
}

TEST_F(SqdCache, OverlongPathIsNeverServedFromACachedPrefix) {
    verbose = 1;
    const std::string shortPath = pathOfLength(dir.path(), 1023);
    const std::string longPath = shortPath + "g";
    writeFileBytes(shortPath, SaveBuilder().bytes());
    writeFileBytes(longPath, SaveBuilder().bytes());
    SqdImage* image = getSQDfile(shortPath.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(newMessages(), "File:[" + shortPath + "]\n");

    EXPECT_EQ(getSQDfile(longPath.c_str()), nullptr);
    EXPECT_EQ(newMessages(), "fail to open " + longPath + " : File name too long\nFail to load " + longPath + "\n");
    EXPECT_EQ(entries<SqdImage>(SqdArray), std::vector<SqdImage*>{image});
    EXPECT_EQ(getSQDfile(shortPath.c_str()), image);
    EXPECT_EQ(newMessages(), "");
}

TEST_F(SqdCache, RegistersOnlyPresentTeamsAndTheirUnits) {
    verbose = 1;
    SaveBuilder builder;
    builder.team(0, "Zero", "P0").slot(0, 0, 1, 0).slot(0, 1, 2, 1);
    builder.team(1, "Hollow", "P1");                                 // in use, no unit
    builder.team(2, "Off", "P2").teamStatus(2, 0).slot(2, 0, 5, 0);  // units, not in use
    builder.team(3, "High", "P3").teamStatus(3, 0x00020000).slot(3, 0, 6, 0);
    builder.team(4, "Four", "P4").slot(4, 0, 40, 0).slot(4, 2, 7, 8);  // 40 names no unit
    builder.team(5, "Five", "P5").slot(5, 0, 255, 4).slot(5, 1, 1, 2).slot(5, 2, 2, 5);
    const std::string path = write("mixed.sqd", builder);

    SqdImage* image = getSQDfile(path.c_str());
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(newMessages(), "File:[" + path +
                                 "]\nRead team 1 : Zero(P0)\nRead team 5 : Four(P4)\nRead team 6 : Five(P5)\n");
    EXPECT_EQ(entries<TeamRecord>(TeamArray),
              (std::vector<TeamRecord*>{&image->team[0], &image->team[4], &image->team[5]}));
    EXPECT_EQ(entries<VekRecord>(VekArray), (std::vector<VekRecord*>{&image->vek[1], &image->vek[2], &image->vek[7]}));

    // A file without any present team is cached and adds nothing else.
    const std::string bare = write("bare.sqd", SaveBuilder().team(0, "Hollow", "P"));
    SqdImage* none = getSQDfile(bare.c_str());
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(newMessages(), "File:[" + bare + "]\n");
    EXPECT_EQ(entries<SqdImage>(SqdArray), (std::vector<SqdImage*>{image, none}));
    EXPECT_EQ(recordCount(TeamArray), 3);
    EXPECT_EQ(recordCount(VekArray), 3);
}

TEST_F(SqdCache, UnitsRegisterOncePerRecordNotPerIndex) {
    SaveBuilder builder;
    builder.team(0, "Triple", "P").slot(0, 0, 3, 0).slot(0, 1, 3, 1).slot(0, 2, 3, 2);
    builder.team(1, "Pair", "P").slot(1, 0, 4, 0).slot(1, 1, 3, 1);
    const std::string first = write("one.sqd", builder);
    const std::string second = write("two.sqd", builder);

    SqdImage* a = getSQDfile(first.c_str());
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(entries<VekRecord>(VekArray), (std::vector<VekRecord*>{&a->vek[3], &a->vek[4]}));
    SqdImage* b = getSQDfile(second.c_str());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(entries<VekRecord>(VekArray),
              (std::vector<VekRecord*>{&a->vek[3], &a->vek[4], &b->vek[3], &b->vek[4]}));
    EXPECT_EQ(entries<TeamRecord>(TeamArray),
              (std::vector<TeamRecord*>{&a->team[0], &a->team[1], &b->team[0], &b->team[1]}));
}

TEST_F(SqdCache, VerboseReportPrintsNamesWithinTheirFieldWidths) {
    verbose = 1;
    const std::string fullName = "ABCDEFGHIJKLMNOPQRSTUVWXY";                   // 25 bytes, unterminated
    const std::string fullPlayer = "abcdefghijklmnopqrstuvwxyz0123456789!#$";  // 39 bytes, unterminated
    const std::string sjisName = "\x83\x76\x83\x8C\x83\x43";
    SaveBuilder builder;
    builder.team(0, sjisName, "Ash").slot(0, 1, 0, 4);
    builder.team(2, fullName, fullPlayer).slot(2, 0, 1, 0);
    builder.team(15, std::string("AB\0CD", 5), "").slot(15, 2, 31, 8);
    const std::string path = write("names.sqd", builder);

    ASSERT_NE(getSQDfile(path.c_str()), nullptr);
    EXPECT_EQ(newMessages(), "File:[" + path + "]\n" +                          //
                                 "Read team 1 : " + sjisName + "(Ash)\n" +      //
                                 "Read team 3 : " + fullName + "(" + fullPlayer + ")\n" +  //
                                 "Read team 16 : AB()\n");
}

TEST_F(SqdCache, GetVekOfTheLastUnitServesTheCachedRecord) {
    const std::string path =
        write("last.sqd", SaveBuilder().unit(30, "Prow", 2).unit(31, "ABCDEFGHIJKLMNOPQRSTUVWXYZ123", 3));
    SqdImage* image = getSQDfile(path.c_str());
    ASSERT_NE(image, nullptr);
    newMessages();
    VekRecord* last = getVek(path.c_str(), 31);
    EXPECT_EQ(last, &image->vek[31]);
    EXPECT_EQ(newMessages(), "");
    const std::vector<std::uint8_t> file = readFileBytes(path);
    EXPECT_EQ(std::memcmp(last->data, &file[kVekTableOffset + 31 * kVekRecordSize], kVekRecordSize), 0);
    EXPECT_EQ(last->sourceIndex, 31);
    EXPECT_STREQ(last->sourcePath, path.c_str());
}

TEST_F(SqdCache, PredicatesCompareWholePathsAndIdentity) {
    const std::string path = write("p.sqd", SaveBuilder());
    SqdImage* image = getSQDfile(path.c_str());
    ASSERT_NE(image, nullptr);
    const std::string prefix = path.substr(0, path.size() - 1);
    const std::string longer = path + "x";
    for (const std::string* key : {&prefix, &longer}) {
        const char* text = key->c_str();
        EXPECT_NE(compareSQDpath(&image, &text), 0) << *key;
    }
    const char* same = path.c_str();
    EXPECT_EQ(compareSQDpath(&image, &same), 0);

    VekRecord* one = &image->vek[1];
    VekRecord* two = &image->vek[2];
    VekRecord* alsoOne = &image->vek[1];
    EXPECT_EQ(compareVekPointer(&one, &alsoOne), 0);
    EXPECT_EQ(compareVekPointer(&one, &two), -1);
}

}  // namespace
}  // namespace rostrix
