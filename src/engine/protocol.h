#pragma once

#include <QLatin1String>

namespace kivaro::protocol {

// The values the engine and the main window hand each other as text, in the fields the design
// gives them. Each is named here once; the engine writes them, the main window and the tests read
// them.

// Progress value, the engine window's caption; the main window's progress frames follow it.
inline const QLatin1String ProgressSearchPage("0"); // the search page is loading
inline const QLatin1String ProgressFetchSent("10"); // end of every fetch, replaced at once
inline const QLatin1String ProgressVideoPage("20"); // the video's page is loading
inline const QLatin1String ProgressPlaying("30"); // the player has the video

// Fetch stage mark, the tag of the engine's socket: empty while the next close brings a search page,
// this mark while it brings a video's page. Only empty against non-empty counts.
inline const QLatin1String FetchStageVideoPage("a");

// Search-result flag, the tag of the main window's Picture1: empty from the moment a search is
// handed over until it has started its video, then this.
inline const QLatin1String SearchResultFound("yes");

} // namespace kivaro::protocol
