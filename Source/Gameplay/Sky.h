// The sky of a level: a dome and a drifting cloud layer that stay centred on each pane's camera,
// so that no flight ever reaches them.
#pragma once

// Creates the sky objects of the level being started (after its models are loaded and its view made).
void MakeSkyObjects();
