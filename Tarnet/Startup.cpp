// Start-up and shut-down of the host layer, and quitting.

#include "Tarnet/Files/FilesLocal.h"
#include "Tarnet/Resources/ResourcesLocal.h"
#include "Tarnet/Tarnet.h"

namespace Tarnet {

void Startup()
{
    // Volume 0 and the System file's refNum 0 come first: everything after opens files.
    Files::StartupFiles();

    // SOUND START-UP GOES HERE: build the MIDI-note frequency table and open the audio device
    // (Sound Manager), once the sound modules exist.
}

void Shutdown()
{
    // SOUND SHUT-DOWN GOES HERE: dispose every open sound channel and close the audio device,
    // before the files their sounds may come from are closed.

    Resources::ShutdownResources();
    Files::ShutdownFiles();
}

void ExitToShell()
{
    throw QuitRequest();
}

} // namespace Tarnet
