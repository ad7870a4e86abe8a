// Start-up and shut-down of the host layer, and quitting.

#include "Tarnet/Files/FilesLocal.h"
#include "Tarnet/Resources/ResourcesLocal.h"
#include "Tarnet/Sound/Sound.h"
#include "Tarnet/Tarnet.h"

namespace Tarnet {

void Startup()
{
    // Volume 0 and the System file's refNum 0 come first: everything after opens files.
    Files::StartupFiles();

    // The note table and the audio device; without a device the game runs silently.
    Sound::StartupSoundManager();
}

void Shutdown()
{
    // Channels first: their sounds may come from files that are closed below.
    Sound::ShutdownSoundManager();

    Resources::ShutdownResources();
    Files::ShutdownFiles();
}

void ExitToShell()
{
    throw QuitRequest();
}

} // namespace Tarnet
