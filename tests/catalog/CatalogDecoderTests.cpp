// Decoding of catalog files: what is accepted, what fails the whole file, and
// that a failure names its place.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "TestSupport.h"
#include "catalog/CatalogDecoder.h"

namespace corvanta {
namespace {

using testing::Json;

CatalogDecodeResult decode(const std::string& json) {
    CatalogDecoder decoder;
    return decoder.decode(json);
}

CatalogDecodeResult decode(const Json& json) {
    return decode(json.dump());
}

Json fullPack() {
    Json p = testing::simplePack("figma", "Figma");
    p["bundleIdentifiers"] = {"com.figma.Desktop"};
    p["group"] = "versionControl";
    p["dataStatus"] = "catalogOnly";
    p["provenance"] = {
        {"sourceURL", "https://example.org"}, {"verifiedAt", "2024-05-01"}, {"extra", 1}};
    p["categories"][0]["items"][0]["keysZh"] = {"⌘", "保存"};
    p["categories"][0]["items"][0]["keysEn"] = Json::array();
    p["categories"][0]["items"][0]["tags"] = {"file", "write"};
    return p;
}

TEST(CatalogDecoderTest, DecodesEveryField) {
    const auto result = decode(testing::library({fullPack()}));
    ASSERT_TRUE(result.ok()) << result.error;
    ASSERT_EQ(result.library->software.size(), 1u);
    const SoftwarePack& p = result.library->software[0];
    EXPECT_EQ(p.id, "figma");
    EXPECT_EQ(p.name, "Figma");
    EXPECT_EQ(p.vendor, "Vendor");
    EXPECT_EQ(p.accent, "#336699");
    EXPECT_EQ(p.glyph, "A");
    EXPECT_EQ(p.bundleIdentifiers, (std::vector<std::string>{"com.figma.Desktop"}));
    EXPECT_EQ(p.declaredGroup, SoftwareGroup::versionControl);
    EXPECT_EQ(p.dataStatus, SoftwareDataStatus::catalogOnly);
    ASSERT_TRUE(p.provenance);
    EXPECT_EQ(p.provenance->sourceURL, "https://example.org");
    EXPECT_EQ(p.provenance->verifiedAt, "2024-05-01");
    EXPECT_FALSE(p.provenance->platform);
    const ShortcutItem& i = p.categories.at(0).items.at(0);
    EXPECT_EQ(i.keys, (std::vector<std::string>{"⌘", "S"}));
    EXPECT_EQ(i.keysZh, (std::vector<std::string>{"⌘", "保存"}));
    EXPECT_EQ(i.keysEn, std::vector<std::string>{});
    EXPECT_EQ(i.tags, (std::vector<std::string>{"file", "write"}));
}

TEST(CatalogDecoderTest, OptionalKeysAbsentOrNull) {
    Json p = testing::simplePack("figma");
    p["group"] = nullptr;
    p["provenance"] = nullptr;
    p["categories"][0]["items"][0]["keysZh"] = nullptr;
    p["unknown"] = {{"nested", {1, 2}}};
    p["categories"][0]["unknown"] = true;
    const auto result = decode(testing::library({p}));
    ASSERT_TRUE(result.ok()) << result.error;
    const SoftwarePack& decoded = result.library->software[0];
    EXPECT_FALSE(decoded.declaredGroup);
    EXPECT_FALSE(decoded.bundleIdentifiers);
    EXPECT_FALSE(decoded.provenance);
    EXPECT_FALSE(decoded.categories[0].items[0].keysZh);
    EXPECT_EQ(decoded.group(), SoftwareGroup::design);
}

TEST(CatalogDecoderTest, EmptyValuesAreLeftToValidation) {
    Json p = testing::pack("", {testing::category("", {testing::item("", {}, "", "")})}, "");
    p["bundleIdentifiers"] = Json::array();
    const auto result = decode(testing::library({p}));
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.library->software[0].bundleIdentifiers, std::vector<std::string>{});
    EXPECT_TRUE(decode(testing::library({})).ok());
}

TEST(CatalogDecoderTest, FailuresNameThePlace) {
    struct Case {
        std::function<void(Json&)> edit;
        std::string error;
    };
    const std::vector<Case> cases = {
        {[](Json& l) { l["software"][1].erase("glyph"); },
         "software[1]: missing required key \"glyph\""},
        {[](Json& l) { l["software"][0]["categories"][0]["items"][0].erase("tags"); },
         "software[0].categories[0].items[0]: missing required key \"tags\""},
        {[](Json& l) { l["software"][0]["name"] = nullptr; },
         "software[0]: required key \"name\" is null"},
        {[](Json& l) { l["software"][0]["group"] = "Office"; },
         "software[0].group: \"Office\" is not a valid software group"},
        {[](Json& l) { l["software"][1]["dataStatus"] = "verified"; },
         "software[1].dataStatus: \"verified\" is not a valid data status"},
        {[](Json& l) { l["software"][0]["categories"][0]["items"][0]["keys"][1] = 5; },
         "software[0].categories[0].items[0].keys[1]: expected string, found number"},
        {[](Json& l) { l["software"][0]["categories"][0]["items"][0]["keysEn"] = "A"; },
         "software[0].categories[0].items[0].keysEn: expected array, found string"},
        {[](Json& l) { l["software"][0]["id"] = true; },
         "software[0].id: expected string, found boolean"},
        {[](Json& l) { l["software"][0]["provenance"] = Json::array(); },
         "software[0].provenance: expected object, found array"},
        {[](Json& l) {
             l["software"][0]["provenance"] = {{"coverage", 3}};
         },
         "software[0].provenance.coverage: expected string, found number"},
        {[](Json& l) { l["software"][1] = "pack"; }, "software[1]: expected object, found string"},
        {[](Json& l) { l.erase("software"); }, "top level: missing required key \"software\""},
    };
    for (const Case& c : cases) {
        Json lib = testing::library({testing::simplePack("a"), testing::simplePack("b")});
        c.edit(lib);
        const auto result = decode(lib);
        EXPECT_FALSE(result.ok()) << c.error;
        EXPECT_EQ(result.error, c.error);
    }
}

TEST(CatalogDecoderTest, DocumentMustBeOneObject) {
    EXPECT_EQ(decode(std::string("[]")).error, "top level: expected object, found array");
    const auto broken = decode(std::string("{\"software\": [}"));
    EXPECT_FALSE(broken.ok());
    EXPECT_EQ(broken.error.rfind("invalid JSON: ", 0), 0u) << broken.error;
    EXPECT_FALSE(decode(std::string("")).ok());
    EXPECT_FALSE(decode(std::string("{\"software\": []} trailing")).ok());
}

TEST(CatalogDecoderTest, NumbersBeyondDoublesAndLongIntegersAreStillJson) {
    // Valid JSON numbers of any size, under keys nobody reads, cost nothing.
    const std::string pack = testing::simplePack("a").dump();
    const std::string huge = "123456789012345678901234567890";
    const auto result =
        decode("{\"note\": " + huge + ", \"software\": [" + pack.substr(0, 1) +
               "\"size\": [-1e400, 18446744073709551616, 0.5]," + pack.substr(1) + "]}");
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.library->software.at(0).id, "a");

    testing::TempDir dir;
    const auto path = dir.path() / "numbers.json";
    std::ofstream(path, std::ios::binary) << "{\"version\": " << huge << ", \"software\": []}";
    CatalogDecoder decoder;
    EXPECT_TRUE(decoder.decodeFile(path).ok());

    // Where a text is required such a number is still the wrong type, and a
    // malformed number is still malformed.
    EXPECT_EQ(decode("{\"software\": " + huge + "}").error,
              "software: expected array, found number");
    EXPECT_EQ(decode(std::string("{\"x\": 01, \"software\": []}")).error.rfind("invalid JSON: ", 0),
              0u);
    EXPECT_EQ(
        decode(std::string("{\"x\": 1e400.5, \"software\": []}")).error.rfind("invalid JSON: ", 0),
        0u);
}

TEST(CatalogDecoderTest, ByteOrderMarkIsSkipped) {
    EXPECT_TRUE(decode(std::string("\xEF\xBB\xBF{\"software\": []}")).ok());
    testing::TempDir dir;
    const auto path = dir.path() / "bom.json";
    std::ofstream(path, std::ios::binary)
        << "\xEF\xBB\xBF" << testing::library({testing::simplePack("a")}).dump();
    CatalogDecoder decoder;
    const auto result = decoder.decodeFile(path);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(result.library->software.at(0).id, "a");
}

TEST(CatalogDecoderTest, KeysAreCaseSensitive) {
    Json p = testing::simplePack("a");
    p.erase("glyph");
    p["Glyph"] = "A";
    EXPECT_EQ(decode(testing::library({p})).error, "software[0]: missing required key \"glyph\"");
}

TEST(CatalogDecoderTest, ReadFailureIsAnError) {
    CatalogDecoder decoder;
    const auto result = decoder.decodeFile("/nonexistent/corvanta/catalog.json");
    EXPECT_FALSE(result.ok());
    EXPECT_FALSE(result.error.empty());
}

// Neither blocks: the FIFO has no writer, the device never ends.
TEST(CatalogDecoderTest, AFifoOrADeviceIsARefusedFileNotAWait) {
    testing::TempDir dir;
    const auto fifo = dir.path() / "catalog.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    CatalogDecoder decoder;
    for (const std::filesystem::path& path : {fifo, std::filesystem::path("/dev/zero")}) {
        EXPECT_EQ(decoder.decodeFile(path).error, "the file could not be read: not a regular file");
    }
    // The decoder is still good for the next file.
    const auto good = dir.path() / "good.json";
    std::ofstream(good, std::ios::binary) << testing::library({testing::simplePack("a")}).dump();
    EXPECT_TRUE(decoder.decodeFile(good).ok());
}

}  // namespace
}  // namespace corvanta
