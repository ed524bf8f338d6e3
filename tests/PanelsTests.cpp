#include "look/CustomLookAndFeel.h"
#include "main_view/MainComponent.h"
#include "panels/ChangelogMarkup.h"
#include "panels/LicenceAgreement.h"
#include "panels/SupportMailLink.h"
#include "panels/panel_changelog.h"
#include "panels/panel_eula.h"
#include "panels/panel_support.h"
#include "support/TestSupport.h"

#include "BinaryData.h"

#include <gtest/gtest.h>

#include <regex>

using testing_support::ScopedPrefix;

TEST (SupportMail, TheLinkCarriesTheReportExactlyEscaped)
{
    struct Case
    {
        const char* name;
        const char* product;
        const char* version;
        platform::SystemReport system;
        const char* expected;
    };

    const Case cases[] = {
        { "an ordinary Windows desktop", "QuernfieldReverb3", "3.2.1", { "Windows 11", "Windows (Desktop)", "AMD Ryzen 7 5800X 8-Core Processor" },
          "mailto:support@fernhollow.example?subject=QuernfieldReverb3%20help&body="
          "Product%3A%20QuernfieldReverb3%203.2.1%0A"
          "Operating%20System%3A%20Windows%2011%0A"
          "Device%3A%20Windows%20(Desktop)%0A"
          "CPU%3A%20AMD%20Ryzen%207%205800X%208-Core%20Processor%0A"
          "%0A"
          "Your%20problem%2C%20and%20the%20steps%20to%20recreate%20it%2C%20if%20possible%3A%0A" },
        { "no processor brand string", "QuernfieldReverb3", "3.2.1", { "Unknown OS", "Windows (Desktop)", "" },
          "mailto:support@fernhollow.example?subject=QuernfieldReverb3%20help&body="
          "Product%3A%20QuernfieldReverb3%203.2.1%0A"
          "Operating%20System%3A%20Unknown%20OS%0A"
          "Device%3A%20Windows%20(Desktop)%0A"
          "CPU%3A%20%0A"
          "%0A"
          "Your%20problem%2C%20and%20the%20steps%20to%20recreate%20it%2C%20if%20possible%3A%0A" },
        { "non-ASCII, reserved characters and the unreserved set", "Quern & F\xc3\xbcnf", "3.2.1-beta_2~x",
          { "Linux", "Dev: 1/2?#", "(R) 100%" },
          "mailto:support@fernhollow.example?subject=Quern%20%26%20F%C3%BCnf%20help&body="
          "Product%3A%20Quern%20%26%20F%C3%BCnf%203.2.1-beta_2~x%0A"
          "Operating%20System%3A%20Linux%0A"
          "Device%3A%20Dev%3A%201%2F2%3F%23%0A"
          "CPU%3A%20(R)%20100%25%0A"
          "%0A"
          "Your%20problem%2C%20and%20the%20steps%20to%20recreate%20it%2C%20if%20possible%3A%0A" },
        { "empty product name and version", "", "", { "Windows 10", "Windows (Desktop)", "x" },
          "mailto:support@fernhollow.example?subject=%20help&body="
          "Product%3A%20%20%0A"
          "Operating%20System%3A%20Windows%2010%0A"
          "Device%3A%20Windows%20(Desktop)%0A"
          "CPU%3A%20x%0A"
          "%0A"
          "Your%20problem%2C%20and%20the%20steps%20to%20recreate%20it%2C%20if%20possible%3A%0A" },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto link = SupportMailLink::link (juce::String::fromUTF8 (c.product), c.version, c.system);
        EXPECT_EQ (link, juce::String (c.expected));

        // What the system is handed after the URL object has taken the link apart and rebuilt it.
        EXPECT_EQ (juce::URL (link).toString (true), link);
    }
}

TEST (ChangelogParser, LinesBecomeEntries)
{
    struct Case { const char* name; const char* text; std::vector<ChangelogEntry> expected; };
    const Case cases[] = {
        { "the title line is dropped, whatever it says", "Release notes\n## v1\n- a", { { heading2, "v1" }, { bullet, "a" } } },
        { "blank lines before the first entry give nothing", "\n\n# Title\n\n\nText", { { paragraph, "Text" } } },
        { "a run of blank and blank-only lines gives one spacer", "# T\nA\n\n   \n\t\nB", { { paragraph, "A" }, { spacer, "" }, { paragraph, "B" } } },
        { "the final line end adds one spacer", "# T\nA\r\n", { { paragraph, "A" }, { spacer, "" } } },
        { "CR LF, CR and LF all end lines", "# T\r\nA\rB\nC", { { paragraph, "A" }, { paragraph, "B" }, { paragraph, "C" } } },
        { "heading levels", "# T\n# One\n## Two\n### Three\n#### Four", { { heading1, "One" }, { heading2, "Two" }, { heading3, "Three" }, { paragraph, "#### Four" } } },
        { "bullets, indented or starred", "# T\n   - a\n* b\n-c\n1. d", { { bullet, "a" }, { bullet, "b" }, { paragraph, "-c" }, { paragraph, "1. d" } } },
        { "text after a prefix keeps its blanks", "# T\n-  two blanks", { { bullet, " two blanks" } } },
        { "only a title", "# Just a title\n", {} },
        { "nothing", "", {} },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        const auto entries = parseChangelog (c.text);
        ASSERT_EQ (entries.size(), c.expected.size());
        for (size_t i = 0; i < entries.size(); ++i)
        {
            EXPECT_EQ (entries[i].kind, c.expected[i].kind) << i;
            EXPECT_EQ (entries[i].text, c.expected[i].text) << i;
        }
    }
}

TEST (ChangelogParser, InlineSpansTakeTheirFonts)
{
    const juce::Font regular (juce::FontOptions (10.0f)), bold (juce::FontOptions (10.0f, juce::Font::bold)),
        italic (juce::FontOptions (10.0f, juce::Font::italic));
    enum Style { R, B, I };

    struct Case { const char* name; const char* text; std::vector<std::pair<const char*, Style>> spans; };
    const Case cases[] = {
        { "plain, bold, plain", "a **b** c", { { "a ", R }, { "b", B }, { " c", R } } },
        { "a bold lead phrase", "**Fix:** the tail", { { "Fix:", B }, { " the tail", R } } },
        { "italic", "x *y* z", { { "x ", R }, { "y", I }, { " z", R } } },
        { "a lone double asterisk stays", "a ** b", { { "a ** b", R } } },
        { "a single star without partner stays", "5 * 3", { { "5 * 3", R } } },
        { "an unclosed bold inside a word stays", "ab**cd", { { "ab**cd", R } } },
        { "empty pairs stay literal", "****", { { "****", R } } },
        { "three stars, a letter, three stars", "***a***", { { "*a", B }, { "*", R } } },
        { "backticks are literal", "the `Pre-delay` knob", { { "the `Pre-delay` knob", R } } },
        { "non-ASCII counts as characters", "\xe2\x80\x94 **\xc3\xa9t\xc3\xa9** \xe2\x80\xa2", { { "\xe2\x80\x94 ", R }, { "\xc3\xa9t\xc3\xa9", B }, { " \xe2\x80\xa2", R } } },
    };

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        juce::AttributedString s;
        appendInlineMarkup (s, juce::String::fromUTF8 (c.text), regular, bold, italic, juce::Colours::red);

        ASSERT_EQ (s.getNumAttributes(), (int) c.spans.size());
        int start = 0;
        for (int k = 0; k < s.getNumAttributes(); ++k)
        {
            const auto& a = s.getAttribute (k);
            const auto expected = juce::String::fromUTF8 (c.spans[(size_t) k].first);
            EXPECT_EQ (s.getText().substring (a.range.getStart(), a.range.getEnd()), expected) << k;
            EXPECT_EQ (a.range.getStart(), start);
            const auto style = c.spans[(size_t) k].second;
            EXPECT_EQ (a.font.isBold(), style == B) << k;
            EXPECT_EQ (a.font.isItalic(), style == I) << k;
            EXPECT_EQ (a.colour, juce::Colours::red);
            start = a.range.getEnd();
        }
    }
}

TEST (ChangelogParser, TheShippedChangelogParsesToHeadingsBulletsAndSpacers)
{
    const auto text = juce::String::createStringFromData (BinaryData::CHANGELOG_md, BinaryData::CHANGELOG_mdSize);
    const auto entries = parseChangelog (text);

    juce::StringArray shape, releases;
    for (const auto& e : entries)
    {
        shape.add (e.kind == heading2 ? "H" : e.kind == bullet ? "-" : e.kind == spacer ? "_" : "?");
        if (e.kind == heading2)
            releases.add (e.text);
        if (e.kind == bullet)
        {
            EXPECT_FALSE (e.text.startsWith ("- ")) << e.text;
        }
    }

    EXPECT_EQ (releases, juce::StringArray ({ "v3.2.1", "v3.2.0", "v3.1.0", "v3.0.3", "v3.0.0" }));
    // Every heading is followed by a spacer and its bullets, every release ends in a spacer.
    EXPECT_TRUE (std::regex_match (shape.joinIntoString ("").toStdString(), std::regex ("(H_-{2,4}_)+")))
        << shape.joinIntoString ("");
    EXPECT_TRUE (text.contains (juce::String::fromUTF8 ("\xe2\x80\x94")));
}

TEST (ChangelogLayout, BlocksAreMeasuredInUnits)
{
    ScopedPrefix prefix;
    // Measured in the program's own face, as the window shows them (the stock faces differ by system).
    CustomLookAndFeel look;
    juce::LookAndFeel::setDefaultLookAndFeel (&look);
    const juce::ScopeGuard stockLookAfter { [] { juce::LookAndFeel::setDefaultLookAndFeel (nullptr); } };
    const std::vector<ChangelogEntry> entries { { heading2, "v3.2.1" }, { spacer, "" }, { bullet, "**Fix:** a short line" },
                                                { paragraph, "A paragraph." } };
    panel_changelog::ChangelogContent content (&entries);
    content.layoutBlocks (552, 6.0f);
    const auto& blocks = content.getBlocks();
    ASSERT_EQ (blocks.size(), 4u);

    EXPECT_FLOAT_EQ (blocks[0].top, 12.0f);                      // u + 1.0u before a second-level heading
    EXPECT_FLOAT_EQ (blocks[1].top, blocks[0].top + blocks[0].height + 3.0f);
    EXPECT_FLOAT_EQ (blocks[1].height, 9.0f);
    EXPECT_FLOAT_EQ (blocks[2].top, blocks[1].top + 9.0f);
    EXPECT_FLOAT_EQ (blocks[2].indent, 24.0f);
    EXPECT_FLOAT_EQ (blocks[3].indent, 0.0f);
    EXPECT_FLOAT_EQ (blocks[3].top, blocks[2].top + blocks[2].height + 1.8f);
    EXPECT_GT (blocks[0].height, 0.0f);

    // A bullet's text wraps at 552 - 24 - 6 = 522 pixels: measured against the same layout.
    juce::TextLayout layout;
    layout.createLayout (blocks[2].text, 522.0f);
    EXPECT_FLOAT_EQ (blocks[2].height, layout.getHeight());

    EXPECT_EQ (content.getWidth(), 552);
    EXPECT_EQ (content.getHeight(), juce::roundToInt (blocks[3].top + blocks[3].height + 1.8f + 6.0f));

    // The bullet sits in (0.5u, top, 3u, 3.5u), left of the text's 4u indent.
    content.setBounds (0, 0, 552, content.getHeight());
    juce::Image image (juce::Image::ARGB, 552, content.getHeight(), true, juce::SoftwareImageType());
    {
        juce::Graphics g (image);
        content.paintEntireComponent (g, false);
    }
    auto inked = [&] (juce::Rectangle<int> r)
    {
        for (int y = r.getY(); y < r.getBottom(); ++y)
            for (int x = r.getX(); x < r.getRight(); ++x)
                if (image.getPixelAt (x, y).getAlpha() > 0)
                    return true;
        return false;
    };
    const auto top = juce::roundToInt (blocks[2].top);
    EXPECT_TRUE (inked ({ 3, top, 18, 21 }));
    EXPECT_FALSE (inked ({ 0, top, 3, 21 }));
    EXPECT_FALSE (inked ({ 21, top, 3, 21 }));

    const std::vector<ChangelogEntry> none;
    panel_changelog::ChangelogContent empty (&none);
    empty.layoutBlocks (552, 6.0f);
    EXPECT_EQ (empty.getHeight(), 12);
}

TEST (LicenceAgreement, HasItsEightParagraphs)
{
    EXPECT_EQ (licenceAgreementText.length(), 4785);
    EXPECT_TRUE (licenceAgreementText.endsWithChar (' '));
    EXPECT_FALSE (licenceAgreementText.containsChar ('\r'));

    juce::StringArray paragraphs;
    paragraphs.addTokens (licenceAgreementText.replace ("\n\n", "\x01"), "\x01", {});
    ASSERT_EQ (paragraphs.size(), 8);
    int withInnerBreak = 0;
    for (auto& p : paragraphs)
        withInnerBreak += p.containsChar ('\n') ? 1 : 0;
    EXPECT_EQ (withInnerBreak, 3);
}

namespace
{
int indexOnView (MainComponent& view, juce::Component* panel)
{
    return view.getIndexOfChildComponent (panel);
}
} // namespace

TEST (PanelHosting, PanelsOpenOverTheViewReplaceTheirKindAndFollowItsSize)
{
    ScopedPrefix prefix;
    MainComponent view;

    view.buttonClicked (testing_support::buttonNamed (view, "EULA"));
    auto* eula = view.getEulaPanel();
    ASSERT_NE (eula, nullptr);
    EXPECT_EQ (eula->getBounds(), juce::Rectangle<int> (0, 0, 600, 600));
    EXPECT_FLOAT_EQ (eula->getUnit(), 6.0f);
    EXPECT_TRUE (eula->isAlwaysOnTop());
    EXPECT_EQ (eula->getEditor().getText(), licenceAgreementText);
    EXPECT_EQ (eula->getEditor().getBounds(), juce::Rectangle<int> (24, 72, 552, 480));

    // SUPPORT over the open licence; closing it shows the licence still there.
    view.buttonClicked (testing_support::buttonNamed (view, "SUPPORT"));
    auto* support = view.getSupportPanel();
    ASSERT_NE (support, nullptr);
    EXPECT_GT (indexOnView (view, support), indexOnView (view, eula));
    EXPECT_EQ (support->getProductName(), "QuernfieldReverb3");
    EXPECT_EQ (support->getProductVersion(), "3.2.1");
    EXPECT_EQ (support->getSettingsFolder(), view.getSettingsFolder());
    EXPECT_EQ (testing_support::buttonNamed (*support, "X")->getBounds(), juce::Rectangle<int> (528, 9, 48, 48));
    EXPECT_EQ (testing_support::buttonNamed (*support, "DISCORD")->getBounds(), juce::Rectangle<int> (60, 90, 60, 60));
    EXPECT_EQ (testing_support::buttonNamed (*support, "MAIL")->getBounds(), juce::Rectangle<int> (60, 210, 60, 60));

    support->buttonClicked (testing_support::buttonNamed (*support, "X"));
    EXPECT_EQ (support->getParentComponent(), nullptr);
    EXPECT_EQ (view.getSupportPanel(), support) << "a closed panel stays alive until replaced";
    EXPECT_EQ (eula->getParentComponent(), &view);

    // Reopening builds a fresh one; the old one is destroyed then.
    juce::Component::SafePointer<juce::Component> oldEula (eula);
    view.buttonClicked (testing_support::buttonNamed (view, "EULA"));
    EXPECT_EQ (oldEula.getComponent(), nullptr);
    EXPECT_NE (view.getEulaPanel(), nullptr);

    view.buttonClicked (testing_support::buttonNamed (view, "CHANGES"));
    auto* changes = view.getChangelogPanel();
    ASSERT_NE (changes, nullptr);
    EXPECT_EQ (changes->getViewport().getBounds(), juce::Rectangle<int> (24, 72, 552, 480));
    EXPECT_FALSE (changes->getEntries().empty());

    // A resize keeps every open panel covering the view at the new unit.
    view.setSize (900, 900);
    for (juce::Component* panel : { (juce::Component*) view.getEulaPanel(), (juce::Component*) changes })
        EXPECT_EQ (panel->getBounds(), juce::Rectangle<int> (0, 0, 900, 900));
    EXPECT_FLOAT_EQ (changes->getUnit(), 9.0f);
    EXPECT_FLOAT_EQ (view.getEulaPanel()->getUnit(), 9.0f);
    EXPECT_EQ (changes->getViewport().getBounds(), juce::Rectangle<int> (36, 108, 828, 720));

    // The panels stay usable after a run.
    view.runInstall();
    view.buttonClicked (testing_support::buttonNamed (view, "SUPPORT"));
    EXPECT_NE (view.getSupportPanel(), support);
}

TEST (ChangelogParser, MalformedUtf8BecomesReplacementCharactersOnce)
{
    // Found by fuzzing: lone continuation bytes, and a sequence cut off by the end of the text.
    struct Case { const char* name; std::string bytes; const char* expectedText; };
    const Case cases[] = {
        { "lone continuation bytes", "# T\n**New:** x \x9b\x9b\x9b *y", "**New:** x \xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd *y" },
        { "a sequence cut off at the end", "# T\nab \xe2\x80", "ab \xef\xbf\xbd\xef\xbf\xbd" },
        { "an overlong encoding", "# T\n\xc0\xaf", "\xef\xbf\xbd\xef\xbf\xbd" },
        { "well-formed text is kept", "# T\n\xe2\x80\x94 ok", "\xe2\x80\x94 ok" },
    };

    const juce::Font f (juce::FontOptions (10.0f));

    for (const auto& c : cases)
    {
        SCOPED_TRACE (c.name);
        // As JUCE's own decoding keeps some malformed text (without the assertion fromUTF8 makes).
        const auto* bytes = c.bytes.data();
        const juce::String text (juce::CharPointer_UTF8 (bytes), juce::CharPointer_UTF8 (bytes + c.bytes.size()));
        const auto entries = parseChangelog (text);
        ASSERT_EQ (entries.size(), 1u);
        EXPECT_EQ (entries[0].text, juce::String::fromUTF8 (c.expectedText));

        juce::AttributedString s;
        appendInlineMarkup (s, entries[0].text, f, f, f, juce::Colours::white);
        ASSERT_GT (s.getNumAttributes(), 0);
        EXPECT_EQ (s.getAttribute (s.getNumAttributes() - 1).range.getEnd(), s.getText().length());
        EXPECT_LE (s.getText().length(), entries[0].text.length());
    }
}
