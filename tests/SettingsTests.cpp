#include "settings/InstallPathSettings.h"
#include "product/TextDecoding.h"
#include "settings/SettingsFileGuard.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#if ! JUCE_WINDOWS
 #include <sys/stat.h>
#endif

using testing_support::ScopedPrefix;

namespace
{
const char* const expectedDefaultFile =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
    "\r\n"
    "<Kitwarden_Settings Important_Note:=\"These are the paths that all Fernhollow installers will use for "
    "their respective formats. Edit them to personal taste, but keep in mind that some formats have specific "
    "homes. Use this feature at your own risk; follow the naming and separator conventions exactly as you see "
    "them, or you could end up with unintended consequences. If you delete this file, the next time you run "
    "the Kitwarden for any FH product, a new one with the default locations will be written.\"\r\n"
    "                    CLAP_Path=\"C:\\Program Files\\Common Files\\CLAP\" VST3_Path=\"C:\\Program Files\\Common Files\\VST3\"\r\n"
    "                    AAX_Path=\"C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins\"/>\r\n";

InstallPathSettings::FormatFolders defaultFolders (const ScopedPrefix& prefix)
{
    return { prefix.defaultFolder (formatVst3), prefix.defaultFolder (formatClap), prefix.defaultFolder (formatAax) };
}

juce::String settingsXml (const juce::String& attributes, const juce::String& tag = "Kitwarden_Settings")
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n\r\n<" + tag + " " + attributes + "/>\r\n";
}

juce::String deeplyNested (int depth)
{
    // In one go: appending piece by piece is quadratic with juce::String (minutes under Wine).
    return juce::String::repeatedString ("<a>", depth) + juce::String::repeatedString ("</a>", depth);
}

juce::String exponentialEntities()
{
    juce::String dtd = "<?xml version=\"1.0\"?>\n<!DOCTYPE lolz [\n <!ENTITY lol \"lol\">\n";
    juce::String previous = "lol";
    for (int i = 1; i <= 12; ++i)
    {
        const auto name = "lol" + juce::String (i);
        dtd << " <!ENTITY " << name << " \"";
        for (int k = 0; k < 10; ++k)
            dtd << "&" << previous << ";";
        dtd << "\">\n";
        previous = name;
    }
    return dtd + "]>\n<Kitwarden_Settings VST3_Path=\"&" + previous + ";\"/>\n";
}

juce::String garbage (size_t bytes)
{
    juce::Random random (42);
    std::string text (bytes, ' ');
    for (auto& c : text)
        c = (char) (32 + random.nextInt (95));
    return text;
}

struct Expected
{
    // Below the prefix; "" means the format has no folder at all; nullptr means the default.
    const char* folders[3] { nullptr, nullptr, nullptr };
};

struct SettingsCase
{
    const char* name;
    std::function<void (const ScopedPrefix&)> arrange;   // runs before load-or-create
    Expected expected;
    enum FileOutcome { writtenWithDefaults, unchanged, absent } file;
    std::function<void (const ScopedPrefix&)> alsoCheck = {};
};

void writeSettings (const ScopedPrefix& p, const juce::String& text)
{
    p.settingsFile().replaceWithText (text, false, false, nullptr);
}

void writeBytes (const ScopedPrefix& p, const juce::MemoryBlock& bytes)
{
    p.settingsFile().replaceWithData (bytes.getData(), bytes.getSize());
}

juce::String accentedSettings()
{
    return settingsXml (juce::String::fromUTF8 ("VST3_Path=\"C:\\Effets \xc3\xa9t\xc3\xa9\\VST3\" "
                                                "CLAP_Path=\"C:\\Effets \xc3\xa9t\xc3\xa9\\CLAP\" AAX_Path=\"C:\\AAX\""));
}

/** The text as UTF-16 after its byte-order mark. */
juce::MemoryBlock utf16 (const juce::String& text, bool bigEndian)
{
    juce::MemoryOutputStream out;
    out.writeByte ((char) (bigEndian ? 0xfe : 0xff));
    out.writeByte ((char) (bigEndian ? 0xff : 0xfe));

    for (auto p = text.toUTF16(); ! p.isEmpty(); ++p)
    {
        const auto unit = (uint16_t) *p;
        bigEndian ? out.writeShortBigEndian ((short) unit) : out.writeShort ((short) unit);
    }

    return out.getMemoryBlock();
}

/** Latin text in the western Windows code page, one byte a character. */
juce::MemoryBlock windows1252 (const juce::String& text)
{
    juce::MemoryOutputStream out;

    for (auto c : text)
        out.writeByte ((char) (uint8_t) c);

    return out.getMemoryBlock();
}
} // namespace

TEST (InstallPathSettings, LoadOrCreate)
{
    const SettingsCase cases[] = {
        { "no file, settings folder present: written byte for byte, defaults used",
          [] (const ScopedPrefix&) {}, {}, SettingsCase::writtenWithDefaults,
          [] (const ScopedPrefix& p)
          {
              // The default install folders are not created by the write.
              EXPECT_FALSE (p.commonFiles().exists());
          } },

        { "no file, settings folder absent: nothing is created",
          [] (const ScopedPrefix& p) { p.settingsFolder().deleteRecursively(); }, {}, SettingsCase::absent,
          [] (const ScopedPrefix& p) { EXPECT_FALSE (p.settingsFolder().exists()); } },

        { "a folder named like the file counts as no file; the write fails",
          [] (const ScopedPrefix& p) { p.settingsFile().createDirectory(); }, {}, SettingsCase::absent,
          [] (const ScopedPrefix& p) { EXPECT_TRUE (p.settingsFile().isDirectory()); } },

        { "a VST3 folder that does not exist is created with its parents",
          [] (const ScopedPrefix& p)
          {
              writeSettings (p, settingsXml ("CLAP_Path=\"C:\\Program Files\\Common Files\\CLAP\" "
                                             "VST3_Path=\"C:\\Audio\\Deep\\VST3\" "
                                             "AAX_Path=\"C:\\Program Files\\Common Files\\Avid\\Audio\\Plug-Ins\""));
          },
          { { "drive_c/Audio/Deep/VST3", nullptr, nullptr } }, SettingsCase::unchanged,
          [] (const ScopedPrefix& p)
          {
              EXPECT_TRUE (p.driveC().getChildFile ("Audio/Deep/VST3").isDirectory());
              EXPECT_TRUE (p.commonFiles().getChildFile ("CLAP").isDirectory());
          } },

        { "forward slashes are separators too",
          [] (const ScopedPrefix& p)
          {
              writeSettings (p, settingsXml ("CLAP_Path=\"C:/Plugins/CLAP\" VST3_Path=\"C:/Plugins/VST3\" "
                                             "AAX_Path=\"C:/Plugins/AAX\""));
          },
          { { "drive_c/Plugins/VST3", "drive_c/Plugins/CLAP", "drive_c/Plugins/AAX" } }, SettingsCase::unchanged },

        { "a missing AAX_Path leaves AAX without a folder, not at the root",
          [] (const ScopedPrefix& p)
          {
              writeSettings (p, settingsXml ("CLAP_Path=\"C:\\P\\CLAP\" VST3_Path=\"C:\\P\\VST3\""));
          },
          { { "drive_c/P/VST3", "drive_c/P/CLAP", "" } }, SettingsCase::unchanged },

        { "empty and relative values leave those formats without a folder",
          [] (const ScopedPrefix& p)
          {
              writeSettings (p, settingsXml ("CLAP_Path=\"\" VST3_Path=\"VST3\" AAX_Path=\"Plug-Ins\\AAX\""));
          },
          { { "", "", "" } }, SettingsCase::unchanged,
          [] (const ScopedPrefix&)
          {
              EXPECT_FALSE (juce::File::getCurrentWorkingDirectory().getChildFile ("VST3").exists());
          } },

        { "any root tag is read the same way; extra attributes are ignored",
          [] (const ScopedPrefix& p)
          {
              writeSettings (p, settingsXml ("Extra=\"1\" CLAP_Path=\"C:\\O\\CLAP\" VST3_Path=\"C:\\O\\VST3\" "
                                             "AAX_Path=\"C:\\O\\AAX\"", "Another_Installer"));
          },
          { { "drive_c/O/VST3", "drive_c/O/CLAP", "drive_c/O/AAX" } }, SettingsCase::unchanged },

       #if ! JUCE_WINDOWS // Wine's drive entries and POSIX paths belong to the Linux edition
        { "other drive letters go through the prefix's dosdevices; POSIX paths are kept",
          [] (const ScopedPrefix& p)
          {
              p.root().getChildFile ("dosdevices/d:").createDirectory();   // Wine's entry for D:
              writeSettings (p, settingsXml ("CLAP_Path=\"" + p.root().getChildFile ("posix/CLAP").getFullPathName()
                                             + "\" VST3_Path=\"D:\\VST3\" AAX_Path=\"C:\\AAX\""));
          },
          { { "dosdevices/d:/VST3", "posix/CLAP", "drive_c/AAX" } }, SettingsCase::unchanged },
       #endif

        { "a drive letter without a dosdevices entry, and a network path, give no folder",
          [] (const ScopedPrefix& p)
          {
              writeSettings (p, settingsXml ("CLAP_Path=\"//server/share/x\" VST3_Path=\"E:\\VST3\" AAX_Path=\"C:\\AAX\""));
          },
          { { "", "", "drive_c/AAX" } }, SettingsCase::unchanged },

        // Windows editors: Notepad's "Unicode" is UTF-16 with a mark, older ones the ANSI code page.
        { "UTF-16 little-endian with its mark, a folder with an accent",
          [] (const ScopedPrefix& p) { writeBytes (p, utf16 (accentedSettings(), false)); },
          { { "drive_c/Effets \xc3\xa9t\xc3\xa9/VST3", "drive_c/Effets \xc3\xa9t\xc3\xa9/CLAP", "drive_c/AAX" } }, SettingsCase::unchanged },

        { "UTF-16 big-endian with its mark",
          [] (const ScopedPrefix& p) { writeBytes (p, utf16 (accentedSettings(), true)); },
          { { "drive_c/Effets \xc3\xa9t\xc3\xa9/VST3", "drive_c/Effets \xc3\xa9t\xc3\xa9/CLAP", "drive_c/AAX" } }, SettingsCase::unchanged },

        { "the ANSI code page (Windows-1252)",
          [] (const ScopedPrefix& p) { writeBytes (p, windows1252 (accentedSettings())); },
          { { "drive_c/Effets \xc3\xa9t\xc3\xa9/VST3", "drive_c/Effets \xc3\xa9t\xc3\xa9/CLAP", "drive_c/AAX" } }, SettingsCase::unchanged },

        { "UTF-16 with a lone surrogate: refused, defaults used",
          [] (const ScopedPrefix& p)
          {
              auto bytes = utf16 (accentedSettings(), false);
              bytes.append ("\x00\xd8", 2);
              writeBytes (p, bytes);
          },
          {}, SettingsCase::unchanged },

        { "UTF-16 of a document type declaration: still refused",
          [] (const ScopedPrefix& p)
          {
              writeBytes (p, utf16 ("<!DOCTYPE r [<!ENTITY a \"aaaa\">]><Kitwarden_Settings VST3_Path=\"C:\\&a;\"/>", false));
          },
          {}, SettingsCase::unchanged },

        { "characters Windows forbids in a name give no folder",
          [] (const ScopedPrefix& p)
          {
              writeSettings (p, settingsXml ("CLAP_Path=\"C:\\Plug&#10;ins\\CLAP\" VST3_Path=\"C:\\Plug&#1;ins\" "
                                             "AAX_Path=\"C:\\Plug&#9;ins\""));
          },
          { { "", "", "" } }, SettingsCase::unchanged },

        { "and so do <>:\"|?* after the drive",
          [] (const ScopedPrefix& p)
          {
              writeSettings (p, settingsXml ("CLAP_Path=\"C:\\a:b\" VST3_Path=\"C:\\a&lt;b&gt;\" AAX_Path=\"C:\\what?\""));
          },
          { { "", "", "" } }, SettingsCase::unchanged },

        { "a quote, a bar and a star",
          [] (const ScopedPrefix& p)
          {
              writeSettings (p, settingsXml ("CLAP_Path=\"C:\\a&quot;b\" VST3_Path=\"C:\\a|b\" AAX_Path=\"C:\\a*\""));
          },
          { { "", "", "" } }, SettingsCase::unchanged },

        { "not XML: ignored, defaults used",
          [] (const ScopedPrefix& p) { writeSettings (p, "VST3_Path = C:\\Elsewhere\n"); },
          {}, SettingsCase::unchanged },

        { "empty file: ignored, defaults used",
          [] (const ScopedPrefix& p) { p.settingsFile().create(); }, {}, SettingsCase::unchanged },

        { "megabytes of garbage: refused unread",
          [] (const ScopedPrefix& p) { writeSettings (p, "<Kitwarden_Settings VST3_Path=\"C:\\G\"/>" + garbage (4 << 20)); },
          {}, SettingsCase::unchanged },

        { "deep nesting: refused before the parser recurses",
          [] (const ScopedPrefix& p) { writeSettings (p, "<Kitwarden_Settings VST3_Path=\"C:\\N\">" + deeplyNested (200000) + "</Kitwarden_Settings>"); },
          {}, SettingsCase::unchanged },

        { "exponential entities: refused before expansion",
          [] (const ScopedPrefix& p) { writeSettings (p, exponentialEntities()); },
          {}, SettingsCase::unchanged },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        ScopedPrefix prefix;
        c.arrange (prefix);

        const auto before = testing_support::listTree (prefix.root());
        const auto fileBefore = prefix.settingsFile().existsAsFile() ? prefix.settingsFile().loadFileAsString()
                                                                     : juce::String();
        auto folders = defaultFolders (prefix);
        InstallPathSettings::loadOrCreate (prefix.settingsFolder(), folders);

        for (size_t i = 0; i < 3; ++i)
        {
            const auto* want = c.expected.folders[i];
            const auto expected = want == nullptr ? defaultFolders (prefix)[i]
                                                  : (*want == 0 ? juce::File()
                                                                                   : prefix.root().getChildFile (juce::String::fromUTF8 (want)));
            EXPECT_EQ (folders[i].getFullPathName(), expected.getFullPathName()) << "format " << i;
        }

        switch (c.file)
        {
            case SettingsCase::writtenWithDefaults:
            {
                juce::MemoryBlock bytes;
                ASSERT_TRUE (prefix.settingsFile().loadFileAsData (bytes));
                EXPECT_EQ (bytes.toString(), juce::String (expectedDefaultFile));
                EXPECT_EQ (bytes.getSize(), std::strlen (expectedDefaultFile));
                break;
            }
            case SettingsCase::unchanged:
                EXPECT_EQ (prefix.settingsFile().loadFileAsString(), fileBefore);
                break;
            case SettingsCase::absent:
                EXPECT_FALSE (prefix.settingsFile().existsAsFile());
                break;
        }

        // Nothing but the settings file and the folders it names may appear.
        auto after = testing_support::listTree (prefix.root());
        for (const auto& [path, what] : before)
        {
            if (path != testing_support::relativePath (prefix.settingsFile(), prefix.root()))
            {
                EXPECT_EQ (after[path], what) << path;
            }
        }

        if (c.alsoCheck)
            c.alsoCheck (prefix);
    }
}

TEST (InstallPathSettings, AWrittenFileIsReadBackToTheSameFolders)
{
    ScopedPrefix prefix;
    const auto defaults = defaultFolders (prefix);
    auto written = defaults;
    InstallPathSettings::loadOrCreate (prefix.settingsFolder(), written);

    auto read = InstallPathSettings::FormatFolders {};
    InstallPathSettings::loadOrCreate (prefix.settingsFolder(), read);

    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ (read[i], defaults[i]);
}

TEST (SettingsFileGuard, RefusesWhatTheParserCannotHandleAndPassesOrdinaryFiles)
{
    struct Case { const char* name; juce::String text; bool refused; };
    const Case cases[] = {
        { "the default file", expectedDefaultFile, false },
        { "comments and processing instructions", "<?xml version=\"1.0\"?><?pi x?><!-- a <b> c --><r a=\"1\"><!-- d --></r>", false },
        { "a processing instruction inside an element, text after it (JUCE's parser never returns)", "<a><?x?>b</a>", true },
        { "a processing instruction inside an element", "<r><?pi x?></r>", true },
        { "one hidden in what looks like a tag", "<a>< -c!<?xmF\"Dp?>\"", true },
        { "one after the root", "<r/><?pi x?>", true },
        { "references of every kind", "<r a=\"&amp;&lt;&#38;&#x26;\">&quot;</r>", false },
        { "a reference cut off by the end (JUCE's reader runs past it)", "<a><ww1.qw&1.qw&#x", true },
        { "a reference without its semicolon", "<r a=\"x &amp y\"/>", true },
        { "a bare ampersand", "<r>a & b</r>", true },
        { "an unterminated tag", "<r a=\"1\"", true },
        { "an unclosed element", "<a><b/>text", true },
        { "a close without its element", "<a/></b>", true },
        { "CDATA with angle brackets", "<r><![CDATA[<<<<>>>>]]></r>", false },
        { "nesting at the limit", deeplyNested (SettingsFileGuard::maxNestingDepth), false },
        { "nesting past the limit", deeplyNested (SettingsFileGuard::maxNestingDepth + 1), true },
        { "many siblings are not nesting", juce::String ("<r>") + juce::String::repeatedString ("<a/><b></b>", 1000) + "</r>", false },
        { "a DTD", "<!DOCTYPE r [<!ENTITY e \"x\">]><r a=\"&e;\"/>", true },
        { "an unterminated comment", "<r/><!-- never closed", true },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        EXPECT_EQ (SettingsFileGuard::findProblem (c.text).isNotEmpty(), c.refused);
    }
}

TEST (SettingsFileGuard, OnlyStrictlyValidUtf8IsReadAsUtf8)
{
    struct Case { const char* name; std::string bytes; bool valid; };
    const Case cases[] = {
        { "ASCII", "<r a=\"C:\\x\"/>", true },
        { "two, three and four bytes", "<r a=\"\xc3\xa9 \xe2\x82\xac \xf0\x9f\x8e\xb9\"/>", true },
        { "the largest code point", "\xf4\x8f\xbf\xbf", true },
        { "the file that overran the parser (refused whole)", std::string ("<R<?\xe5?>", 7), false },
        { "a bad continuation byte", "<r a=\"\xc3\x28\"/>", false },
        { "a lone continuation byte", "<r a=\"\x80\"/>", false },
        { "cut off by the end", "<r/>\xe2\x82", false },
        { "cut off before another lead", "\xf0\x9f\x8e<r/>", false },
        { "an overlong slash", "\xc0\xaf", false },
        { "an overlong three-byte form", "\xe0\x80\xaf", false },
        { "an overlong four-byte form", "\xf0\x80\x80\xaf", false },
        { "a high surrogate", "\xed\xa0\x80", false },
        { "a low surrogate", "\xed\xbf\xbf", false },
        { "past U+10FFFF", "\xf4\x90\x80\x80", false },
        { "no such lead byte", "\xf8\x88\x80\x80\x80", false },
        { "0xff", "\xff", false },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto decoded = TextDecoding::strictUtf8 (c.bytes.data(), c.bytes.size());
        EXPECT_EQ (decoded.has_value(), c.valid);

        // Through the file, as the program reads it: anything else is the ANSI code page, one
        // character a byte, so malformed UTF-8 never reaches the parser as such.
        testing_support::TempFolder temp;
        const auto file = temp.get().getChildFile ("KitwardenSettings.txt");
        file.replaceWithData (c.bytes.data(), c.bytes.size());
        const auto loaded = SettingsFileGuard::loadIfSafe (file);

        if (c.valid)
        {
            ASSERT_TRUE (loaded.has_value());
            EXPECT_EQ (*loaded, juce::String::fromUTF8 (c.bytes.data(), (int) c.bytes.size()));
        }
        else if (loaded.has_value())
        {
            EXPECT_EQ (loaded->length(), (int) c.bytes.size());
        }
    }
}

#if ! JUCE_WINDOWS // FIFOs in folders and unprivileged symbolic links are POSIX matters
TEST (SettingsFileGuard, OnlyRegularFilesAreRead)
{
    testing_support::TempFolder temp;
    const auto fifo = temp.get().getChildFile ("KitwardenSettings.txt");
    ASSERT_EQ (::mkfifo (fifo.getFullPathName().toRawUTF8(), 0644), 0);

    // A FIFO with no writer would block a plain open for ever; it reads as no file.
    EXPECT_FALSE (SettingsFileGuard::loadIfSafe (fifo).has_value());

    const auto link = temp.get().getChildFile ("link.txt");
    const auto target = temp.get().getChildFile ("target.txt");
    target.replaceWithText ("<r/>");
    target.createSymbolicLink (link, true);
    EXPECT_EQ (SettingsFileGuard::loadIfSafe (link), std::optional<juce::String> ("<r/>"));
}
#endif
