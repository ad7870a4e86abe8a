// The screens between menus and levels: the title splash, the intro story with its narration and
// subtitles, the level-intro scene (press a key, credits, level start, between levels with saving),
// the two-player controller check and the win screen. Each sets up its own view, fades in, runs its
// frames until its end condition, fades out and releases everything it loaded.
#pragma once

void ShowTitleSplash(); // 10 s, or until skipped
void ShowIntroStory();  // the nine slides; ends after the last one or when skipped

// The level-intro scene.
enum
{
    kLevelIntro_PressAKey = 0,     // the attract screen: until a press
    kLevelIntro_Credits = 1,       // the credits: until a press
    kLevelIntro_LevelStart = 2,    // before the first level or a restored game: 5 s or a press
    kLevelIntro_BetweenLevels = 3, // the save menu; an 'sf#n' outcome saves into slot n
};
void ShowLevelIntro(int mode);

// Before a two-player game: true when the players cancelled, false once there are enough
// controllers or the players chose to go on with the keyboard. Shows nothing when enough
// gamepads are open.
bool CheckTwoPlayerControllers();

void ShowWinScreen(); // the win slide and song, until the slide has faded out
