// Reads back the compiled Windows resources of Ferolune.exe (a .res file made by
// windres from app/ferolune.rc.in as configured) and checks the icon, the version information and
// the language tags that Windows Explorer shows for the executable.

#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint16_t ChinesePrc = 0x0804;
constexpr std::uint16_t RtIcon = 3;
constexpr std::uint16_t RtGroupIcon = 14;
constexpr std::uint16_t RtVersion = 16;

Bytes readFile(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error(std::string("cannot open ") + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class Reader
{
public:
    Reader(const Bytes &bytes, std::size_t begin, std::size_t end) : m_bytes(bytes), m_pos(begin), m_end(end) {}

    std::size_t pos() const { return m_pos; }
    std::size_t end() const { return m_end; }
    bool atEnd() const { return m_pos >= m_end; }

    std::uint16_t u16()
    {
        need(2);
        const auto v = static_cast<std::uint16_t>(m_bytes[m_pos] | (m_bytes[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    std::uint32_t u32()
    {
        const std::uint32_t lo = u16();
        const std::uint32_t hi = u16();
        return lo | (hi << 16);
    }
    std::uint8_t u8()
    {
        need(1);
        return m_bytes[m_pos++];
    }
    std::u16string zstring()
    {
        std::u16string s;
        for (char16_t c = static_cast<char16_t>(u16()); c != 0; c = static_cast<char16_t>(u16()))
            s.push_back(c);
        return s;
    }
    Bytes take(std::size_t n)
    {
        need(n);
        Bytes out(m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos),
                  m_bytes.begin() + static_cast<std::ptrdiff_t>(m_pos + n));
        m_pos += n;
        return out;
    }
    // Resource headers and version blocks are laid out on 32-bit boundaries
    // counted from the start of the file.
    void align4() { m_pos = (m_pos + 3) & ~std::size_t{3}; }
    void seek(std::size_t pos) { m_pos = pos; }

private:
    void need(std::size_t n) const
    {
        if (m_pos + n > m_end)
            throw std::runtime_error("resource data ends early at offset " + std::to_string(m_pos));
    }

    const Bytes &m_bytes;
    std::size_t m_pos;
    std::size_t m_end;
};

// A type or a name in a resource header: an ordinal or a string.
struct Id
{
    std::optional<std::uint16_t> ordinal;
    std::u16string name;
};

Id readId(Reader &r)
{
    Id id;
    const std::uint16_t first = r.u16();
    if (first == 0xFFFF) {
        id.ordinal = r.u16();
    } else {
        r.seek(r.pos() - 2);
        id.name = r.zstring();
    }
    return id;
}

struct Resource
{
    Id type;
    Id name;
    std::uint16_t language = 0;
    Bytes data;
};

std::vector<Resource> readResources(const Bytes &file)
{
    std::vector<Resource> out;
    Reader r(file, 0, file.size());
    while (!r.atEnd()) {
        const std::size_t start = r.pos();
        const std::uint32_t dataSize = r.u32();
        const std::uint32_t headerSize = r.u32();
        Resource res;
        res.type = readId(r);
        res.name = readId(r);
        r.align4();
        r.u32(); // DataVersion
        r.u16(); // MemoryFlags
        res.language = r.u16();
        r.seek(start + headerSize);
        res.data = r.take(dataSize);
        r.align4();
        // A .res file opens with an empty entry that marks the 32-bit format.
        if (dataSize != 0 || res.type.ordinal.value_or(1) != 0)
            out.push_back(std::move(res));
    }
    return out;
}

// One block of a VERSIONINFO resource: key, value and child blocks.
struct VersionNode
{
    std::u16string key;
    std::uint16_t type = 0;
    Bytes value;
    std::u16string text;
    std::vector<VersionNode> children;

    const VersionNode *child(const std::u16string &k) const
    {
        for (const auto &c : children)
            if (c.key == k)
                return &c;
        return nullptr;
    }
};

VersionNode readVersionNode(Reader &r)
{
    const std::size_t start = r.pos();
    const std::uint16_t length = r.u16();
    const std::uint16_t valueLength = r.u16();
    VersionNode node;
    node.type = r.u16();
    node.key = r.zstring();
    r.align4();
    if (node.type == 1) {
        // Text values count UTF-16 units, the terminating zero included.
        for (std::uint16_t i = 0; i < valueLength; ++i) {
            const auto c = static_cast<char16_t>(r.u16());
            if (c != 0)
                node.text.push_back(c);
        }
    } else {
        node.value = r.take(valueLength);
    }
    r.align4();
    const std::size_t end = start + length;
    if (end > r.end())
        throw std::runtime_error("version block overruns its resource");
    while (r.pos() < end) {
        Reader child = r;
        VersionNode c = readVersionNode(child);
        r.seek(child.pos());
        r.align4();
        node.children.push_back(std::move(c));
    }
    return node;
}

std::string utf8(const std::u16string &s)
{
    std::string out;
    for (char16_t c : s) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (c >> 12)));
            out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

class CompiledResources : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { s_res = new std::vector<Resource>(readResources(readFile(FEROLUNE_RES_FILE))); }
    static void TearDownTestSuite()
    {
        delete s_res;
        s_res = nullptr;
    }

    static std::vector<const Resource *> ofType(std::uint16_t type)
    {
        std::vector<const Resource *> out;
        for (const auto &r : *s_res)
            if (r.type.ordinal == type)
                out.push_back(&r);
        return out;
    }

    static VersionNode versionInfo()
    {
        const auto versions = ofType(RtVersion);
        if (versions.size() != 1)
            throw std::runtime_error("expected exactly one version resource");
        const Bytes &data = versions.front()->data;
        Reader r(data, 0, data.size());
        return readVersionNode(r);
    }

    static std::map<std::u16string, std::u16string> versionStrings()
    {
        const VersionNode root = versionInfo();
        const VersionNode *fileInfo = root.child(u"StringFileInfo");
        if (!fileInfo || fileInfo->children.size() != 1)
            throw std::runtime_error("expected one string table");
        std::map<std::u16string, std::u16string> strings;
        for (const auto &s : fileInfo->children.front().children)
            strings[s.key] = s.text;
        return strings;
    }

    static inline std::vector<Resource> *s_res = nullptr;
};

TEST_F(CompiledResources, EveryResourceIsTaggedChinesePrc)
{
    ASSERT_FALSE(s_res->empty());
    for (const auto &r : *s_res)
        EXPECT_EQ(r.language, ChinesePrc) << "resource of type " << r.type.ordinal.value_or(0);
}

TEST_F(CompiledResources, HoldsOneIconGroupAndOneVersionBlock)
{
    EXPECT_EQ(ofType(RtGroupIcon).size(), 1u);
    EXPECT_EQ(ofType(RtVersion).size(), 1u);
    EXPECT_FALSE(ofType(RtIcon).empty());
}

TEST_F(CompiledResources, IconIsTheApplicationIco)
{
    const Bytes ico = readFile(FEROLUNE_ICO_FILE);
    Reader icoReader(ico, 0, ico.size());
    ASSERT_EQ(icoReader.u16(), 0);
    ASSERT_EQ(icoReader.u16(), 1) << "not an icon file";
    const std::uint16_t count = icoReader.u16();
    ASSERT_GT(count, 0);

    const auto groups = ofType(RtGroupIcon);
    ASSERT_EQ(groups.size(), 1u);
    const Bytes &group = groups.front()->data;
    Reader g(group, 0, group.size());
    EXPECT_EQ(g.u16(), 0);
    EXPECT_EQ(g.u16(), 1);
    ASSERT_EQ(g.u16(), count) << "the icon group lists a different number of images than the .ico";

    std::map<std::uint16_t, const Bytes *> images;
    for (const Resource *icon : ofType(RtIcon))
        if (icon->name.ordinal)
            images[*icon->name.ordinal] = &icon->data;

    for (std::uint16_t i = 0; i < count; ++i) {
        SCOPED_TRACE("image " + std::to_string(i));
        // The group entry repeats the .ico directory entry, with the file
        // offset replaced by the id of the RT_ICON resource.
        const Bytes icoHeader = icoReader.take(12);
        const std::uint32_t offset = icoReader.u32();
        const Bytes groupHeader = g.take(12);
        const std::uint16_t id = g.u16();
        EXPECT_EQ(groupHeader, icoHeader);
        Reader sizeField(icoHeader, 8, 12);
        const std::uint32_t size = sizeField.u32();
        ASSERT_LE(std::size_t{offset} + size, ico.size());
        const Bytes expected(ico.begin() + offset, ico.begin() + offset + size);
        ASSERT_TRUE(images.count(id)) << "no RT_ICON with id " << id;
        EXPECT_EQ(*images[id], expected);
    }
}

TEST_F(CompiledResources, FixedVersionIsTheProjectVersion)
{
    const VersionNode root = versionInfo();
    EXPECT_EQ(utf8(root.key), "VS_VERSION_INFO");
    ASSERT_EQ(root.value.size(), 52u);
    Reader f(root.value, 0, root.value.size());
    EXPECT_EQ(f.u32(), 0xFEEF04BDu) << "signature";
    f.u32(); // structure version
    constexpr std::uint32_t MajorMinor = (FEROLUNE_VERSION_MAJOR << 16) | FEROLUNE_VERSION_MINOR;
    constexpr std::uint32_t PatchRevision = FEROLUNE_VERSION_PATCH << 16;
    EXPECT_EQ(f.u32(), MajorMinor) << "FILEVERSION major.minor";
    EXPECT_EQ(f.u32(), PatchRevision) << "FILEVERSION build.revision";
    EXPECT_EQ(f.u32(), MajorMinor) << "PRODUCTVERSION major.minor";
    EXPECT_EQ(f.u32(), PatchRevision) << "PRODUCTVERSION build.revision";
    f.u32(); // flags mask
    EXPECT_EQ(f.u32(), 0u) << "no debug, pre-release or patched flags";
    EXPECT_EQ(f.u32(), 0x00040004u) << "VOS_NT_WINDOWS32";
    EXPECT_EQ(f.u32(), 1u) << "VFT_APP";
}

TEST_F(CompiledResources, StringTableIsChinesePrcUnicode)
{
    const VersionNode root = versionInfo();
    const VersionNode *fileInfo = root.child(u"StringFileInfo");
    ASSERT_NE(fileInfo, nullptr);
    ASSERT_EQ(fileInfo->children.size(), 1u);
    EXPECT_EQ(utf8(fileInfo->children.front().key), "080404B0");
}

TEST_F(CompiledResources, TranslationIsChinesePrcWithCodePage1200)
{
    const VersionNode root = versionInfo();
    const VersionNode *varInfo = root.child(u"VarFileInfo");
    ASSERT_NE(varInfo, nullptr);
    const VersionNode *translation = varInfo->child(u"Translation");
    ASSERT_NE(translation, nullptr);
    ASSERT_EQ(translation->value.size(), 4u);
    Reader t(translation->value, 0, 4);
    EXPECT_EQ(t.u16(), 0x0804);
    EXPECT_EQ(t.u16(), 1200);
}

struct StringField
{
    const char *name;
    std::u16string key;
    std::u16string expected;
};

void PrintTo(const StringField &field, std::ostream *os)
{
    *os << field.name;
}

class VersionStrings : public CompiledResources, public ::testing::WithParamInterface<StringField>
{};

TEST_P(VersionStrings, HasItsValue)
{
    const auto strings = versionStrings();
    const auto it = strings.find(GetParam().key);
    ASSERT_NE(it, strings.end()) << utf8(GetParam().key) << " is missing";
    EXPECT_EQ(utf8(it->second), utf8(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Identity, VersionStrings,
    ::testing::Values(StringField{"FileVersion", u"FileVersion", u"" FEROLUNE_DISPLAY_VERSION},
                      StringField{"ProductVersion", u"ProductVersion", u"" FEROLUNE_DISPLAY_VERSION},
                      StringField{"ProductName", u"ProductName", u"Ferolune"},
                      StringField{"InternalName", u"InternalName", u"Ferolune"},
                      StringField{"OriginalFilename", u"OriginalFilename", u"Ferolune.exe"},
                      StringField{"FileDescription", u"FileDescription", u"555 定时器多谐振荡器计算器"},
                      StringField{"CompanyName", u"CompanyName", u"Ferolune 项目"},
                      StringField{"LegalCopyright", u"LegalCopyright", u"© 2026 Ferolune 开发者"}),
    [](const ::testing::TestParamInfo<StringField> &row) { return std::string(row.param.name); });

TEST_F(CompiledResources, StringTableHoldsNoUnexpectedFields)
{
    const auto strings = versionStrings();
    for (const auto &[key, value] : strings) {
        const std::string k = utf8(key);
        EXPECT_TRUE(k == "FileVersion" || k == "ProductVersion" || k == "ProductName" || k == "InternalName"
                    || k == "OriginalFilename" || k == "FileDescription" || k == "CompanyName" || k == "LegalCopyright")
            << "unexpected field " << k;
        EXPECT_FALSE(value.empty()) << k << " is empty";
    }
}

} // namespace
