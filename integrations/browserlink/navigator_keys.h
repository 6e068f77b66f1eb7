// Where Netscape Navigator keeps its viewer settings: keys below
// HKEY_CURRENT_USER, one per section of a Mosaic-family browser file.
#pragma once

#define NAVIGATOR_KEY "SOFTWARE\\Netscape\\Netscape Navigator"

// Its presence is what makes Navigator a browser of this machine.
inline constexpr char kNavigatorKey[] = NAVIGATOR_KEY;

// An older Navigator kept its settings in this file, below a drive's root.
inline constexpr char kNavigatorIni[] = "netscape\\netscape.ini";

inline constexpr char kNavigatorViewersKey[] = NAVIGATOR_KEY "\\Viewers";
inline constexpr char kNavigatorOViewersKey[] = NAVIGATOR_KEY "\\OViewers";
inline constexpr char kNavigatorSuffixesKey[] = NAVIGATOR_KEY "\\Suffixes";
inline constexpr char kNavigatorOSuffixesKey[] = NAVIGATOR_KEY "\\OSuffixes";
inline constexpr char kNavigatorEncodingsKey[] = NAVIGATOR_KEY "\\Encodings";
inline constexpr char kNavigatorOEncodingsKey[] = NAVIGATOR_KEY "\\OEncodings";
inline constexpr char kNavigatorDescriptionsKey[] = NAVIGATOR_KEY "\\MIME Descriptions";
inline constexpr char kNavigatorODescriptionsKey[] = NAVIGATOR_KEY "\\OMIME Descriptions";

// The backup keys as deinstall deletes them, spelled as it spells them.
#define NAVIGATOR_KEY_AS_DELETED "Software\\Netscape\\Netscape Navigator"
inline constexpr char kNavigatorOViewersKeyAsDeleted[] = NAVIGATOR_KEY_AS_DELETED "\\OViewers";
inline constexpr char kNavigatorODescriptionsKeyAsDeleted[] =
    NAVIGATOR_KEY_AS_DELETED "\\OMIME Descriptions";
inline constexpr char kNavigatorOSuffixesKeyAsDeleted[] = NAVIGATOR_KEY_AS_DELETED "\\OSuffixes";
inline constexpr char kNavigatorOEncodingsKeyAsDeleted[] = NAVIGATOR_KEY_AS_DELETED "\\OEncodings";
