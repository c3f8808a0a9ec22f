/* Every suite the host publishes to plug-ins, by name and version.
 *
 * Each list is an X-macro: X(Id, "name", version). The host serves exactly
 * these; a plug-in may acquire any of them. The function table of suite Id
 * of the base and main lists has the type Host<Id>Suite, declared under
 * suites/ (UndescribedSuites.h for those whose layout is not given); every
 * text-engine table starts with HostTextEngineSuite. */
#ifndef ORBALIS_SDK_SUITE_LIST_H
#define ORBALIS_SDK_SUITE_LIST_H

#define HOST_BASE_SUITES(X)              \
    X(SPAccess, "SP Access Suite", 3)    \
    X(SPPlugins, "SP Plug-ins Suite", 6) \
    X(Notifier, "AI Notifier Suite", 4)  \
    X(Context, "AI Context Suite", 9)    \
    X(User, "AI User Suite", 15)         \
    X(FilePath, "AI File Path Suite", 6) \
    X(Folders, "AI Folders Suite", 5)

#define HOST_MAIN_SUITES(X)                                   \
    X(SPBlocks, "SP Blocks Suite", 2)                         \
    X(SPFiles, "SP Files Suite", 4)                           \
    X(UnicodeString, "AI Unicode String Suite", 8)            \
    X(ActionManager, "AI Action Manager Suite", 5)            \
    X(Array, "AI Array Suite", 6)                             \
    X(Art, "AI Art Suite", 20)                                \
    X(Artboard, "AI Artboard Suite", 4)                       \
    X(ArtSet, "AI Art Set Suite", 9)                          \
    X(ArtStyle, "AI Art Style Suite", 8)                      \
    X(ATEPaint, "AIATE Paint Suite", 3)                       \
    X(BlendStyle, "AI Blend Style Suite", 5)                  \
    X(Dictionary, "AI Dictionary Suite", 9)                   \
    X(DictionaryIterator, "AI Dictionary Iterator Suite", 4)  \
    X(Document, "AI Document Suite", 16)                      \
    X(DocumentView, "AI Document View Suite", 13)             \
    X(Entry, "AI Entry Suite", 7)                             \
    X(Group, "AI Group Suite", 5)                             \
    X(HardSoft, "AI Hard Soft Suite", 5)                      \
    X(Layer, "AI Layer Suite", 13)                            \
    X(MatchingArt, "AI Matching Art Suite", 7)                \
    X(MdMemory, "AI MdMemory Suite", 3)                       \
    X(Menu, "AI Menu Suite", 11)                              \
    X(ModalParent, "AI Modal Parent Suite", 2)                \
    X(Panel, "AI Panel Suite", 3)                             \
    X(PanelFlyoutMenu, "AI Panel Flyout Menu Suite", 2)       \
    X(Path, "AI Path Suite", 12)                              \
    X(Pathfinder, "AI Pathfinder Suite", 6)                   \
    X(PathStyle, "AI Path Style Suite", 13)                   \
    X(Placed, "AI Placed Suite", 9)                           \
    X(Plugin, "AI Plugin Suite", 5)                           \
    X(PluginGroup, "AI Plugin Group Suite", 6)                \
    X(Preference, "AI Preference Suite", 7)                   \
    X(Raster, "AI Raster Suite", 10)                          \
    X(RealBezier, "AI Real Bezier Suite", 4)                  \
    X(RealMath, "AI Real Math Suite", 4)                      \
    X(Runtime, "AI Runtime Suite", 12)                        \
    X(ShapeConstruction, "AI Shape Construction Suite", 8)    \
    X(Tag, "AI Tag Suite", 4)                                 \
    X(TextFrame, "AI Text Frame Suite", 4)                    \
    X(TransformArt, "AI Transform Art Suite", 3)              \
    X(UserInterfaceTheme, "AI User Interface Theme Suite", 2) \
    X(URL, "AI URL Suite", 3)

/* The text engine's suites: "ATE " + stem + " Suite". */
#define HOST_ATE_SUITES(X)                                                             \
    X(ApplicationPaint, "ATE ApplicationPaint Suite", 1)                               \
    X(CompFont, "ATE CompFont Suite", 1)                                               \
    X(CompFontClass, "ATE CompFontClass Suite", 1)                                     \
    X(CompFontClassSet, "ATE CompFontClassSet Suite", 1)                               \
    X(CompFontComponent, "ATE CompFontComponent Suite", 1)                             \
    X(CompFontSet, "ATE CompFontSet Suite", 1)                                         \
    X(GlyphRun, "ATE GlyphRun Suite", 1)                                               \
    X(GlyphRunsIterator, "ATE GlyphRunsIterator Suite", 1)                             \
    X(MojiKumi, "ATE MojiKumi Suite", 1)                                               \
    X(MojiKumiSet, "ATE MojiKumiSet Suite", 1)                                         \
    X(TextFrame, "ATE TextFrame Suite", 101)                                           \
    X(TextFramesIterator, "ATE TextFramesIterator Suite", 1)                           \
    X(TextLine, "ATE TextLine Suite", 2)                                               \
    X(TextLinesIterator, "ATE TextLinesIterator Suite", 1)                             \
    X(TextResources, "ATE TextResources Suite", 1)                                     \
    X(ApplicationTextResources, "ATE ApplicationTextResources Suite", 1)               \
    X(DocumentTextResources, "ATE DocumentTextResources Suite", 101)                   \
    X(VersionInfo, "ATE VersionInfo Suite", 1)                                         \
    X(ArrayApplicationPaintRef, "ATE ArrayApplicationPaintRef Suite", 1)               \
    X(ArrayReal, "ATE ArrayReal Suite", 1)                                             \
    X(ArrayBool, "ATE ArrayBool Suite", 1)                                             \
    X(ArrayInteger, "ATE ArrayInteger Suite", 1)                                       \
    X(ArrayLineCapType, "ATE ArrayLineCapType Suite", 1)                               \
    X(ArrayFigureStyle, "ATE ArrayFigureStyle Suite", 1)                               \
    X(ArrayLineJoinType, "ATE ArrayLineJoinType Suite", 1)                             \
    X(ArrayWariChuJustification, "ATE ArrayWariChuJustification Suite", 1)             \
    X(ArrayStyleRunAlignment, "ATE ArrayStyleRunAlignment Suite", 1)                   \
    X(ArrayAutoKernType, "ATE ArrayAutoKernType Suite", 1)                             \
    X(ArrayBaselineDirection, "ATE ArrayBaselineDirection Suite", 1)                   \
    X(ArrayLanguage, "ATE ArrayLanguage Suite", 1)                                     \
    X(ArrayFontCapsOption, "ATE ArrayFontCapsOption Suite", 1)                         \
    X(ArrayFontBaselineOption, "ATE ArrayFontBaselineOption Suite", 1)                 \
    X(ArrayFontOpenTypePositionOption, "ATE ArrayFontOpenTypePositionOption Suite", 1) \
    X(ArrayUnderlinePosition, "ATE ArrayUnderlinePosition Suite", 1)                   \
    X(ArrayStrikethroughPosition, "ATE ArrayStrikethroughPosition Suite", 1)           \
    X(ArrayParagraphJustification, "ATE ArrayParagraphJustification Suite", 1)         \
    X(ArrayArrayReal, "ATE ArrayArrayReal Suite", 1)                                   \
    X(ArrayBurasagariType, "ATE ArrayBurasagariType Suite", 1)                         \
    X(ArrayPreferredKinsokuOrder, "ATE ArrayPreferredKinsokuOrder Suite", 1)           \
    X(ArrayKinsokuRef, "ATE ArrayKinsokuRef Suite", 1)                                 \
    X(ArrayMojiKumiRef, "ATE ArrayMojiKumiRef Suite", 1)                               \
    X(ArrayMojiKumiSetRef, "ATE ArrayMojiKumiSetRef Suite", 1)                         \
    X(ArrayTabStopsRef, "ATE ArrayTabStopsRef Suite", 1)                               \
    X(ArrayLeadingType, "ATE ArrayLeadingType Suite", 1)                               \
    X(ArrayFontRef, "ATE ArrayFontRef Suite", 1)                                       \
    X(ArrayGlyphID, "ATE ArrayGlyphID Suite", 1)                                       \
    X(ArrayRealPoint, "ATE ArrayRealPoint Suite", 1)                                   \
    X(ArrayRealMatrix, "ATE ArrayRealMatrix Suite", 1)                                 \
    X(ArrayParagraphDirection, "ATE ArrayParagraphDirection Suite", 1)                 \
    X(ArrayJustificationMethod, "ATE ArrayJustificationMethod Suite", 1)               \
    X(ArrayKashidaWidth, "ATE ArrayKashidaWidth Suite", 1)                             \
    X(ArrayKashidas, "ATE ArrayKashidas Suite", 1)                                     \
    X(ArrayDirOverride, "ATE ArrayDirOverride Suite", 1)                               \
    X(ArrayDigitSet, "ATE ArrayDigitSet Suite", 1)                                     \
    X(ArrayDiacVPos, "ATE ArrayDiacVPos Suite", 1)                                     \
    X(CharFeatures, "ATE CharFeatures Suite", 102)                                     \
    X(CharInspector, "ATE CharInspector Suite", 102)                                   \
    X(CharStyle, "ATE CharStyle Suite", 1)                                             \
    X(CharStyles, "ATE CharStyles Suite", 1)                                           \
    X(CharStylesIterator, "ATE CharStylesIterator Suite", 1)                           \
    X(Find, "ATE Find Suite", 101)                                                     \
    X(Font, "ATE Font Suite", 1)                                                       \
    X(Glyph, "ATE Glyph Suite", 1)                                                     \
    X(Glyphs, "ATE Glyphs Suite", 1)                                                   \
    X(GlyphsIterator, "ATE GlyphsIterator Suite", 1)                                   \
    X(Kinsoku, "ATE Kinsoku Suite", 1)                                                 \
    X(KinsokuSet, "ATE KinsokuSet Suite", 1)                                           \
    X(ParaFeatures, "ATE ParaFeatures Suite", 101)                                     \
    X(Paragraph, "ATE Paragraph Suite", 1)                                             \
    X(ParagraphsIterator, "ATE ParagraphsIterator Suite", 1)                           \
    X(ParaInspector, "ATE ParaInspector Suite", 101)                                   \
    X(ParaStyle, "ATE ParaStyle Suite", 1)                                             \
    X(ParaStyles, "ATE ParaStyles Suite", 1)                                           \
    X(ParaStylesIterator, "ATE ParaStylesIterator Suite", 1)                           \
    X(Spell, "ATE Spell Suite", 101)                                                   \
    X(Stories, "ATE Stories Suite", 1)                                                 \
    X(Story, "ATE Story Suite", 1)                                                     \
    X(TabStop, "ATE TabStop Suite", 1)                                                 \
    X(TabStops, "ATE TabStops Suite", 1)                                               \
    X(TabStopsIterator, "ATE TabStopsIterator Suite", 1)                               \
    X(TextRange, "ATE TextRange Suite", 1)                                             \
    X(TextRanges, "ATE TextRanges Suite", 1)                                           \
    X(TextRangesIterator, "ATE TextRangesIterator Suite", 1)                           \
    X(TextRunsIterator, "ATE TextRunsIterator Suite", 1)                               \
    X(WordsIterator, "ATE WordsIterator Suite", 1)                                     \
    X(ArrayLine, "ATE ArrayLine Suite", 1)                                             \
    X(ArrayComposerEngine, "ATE ArrayComposerEngine Suite", 1)

#endif
