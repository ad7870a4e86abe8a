// TQ3D_Import.cpp: loading a model file from the data folder into a model-group slot: the file is read
// whole, parsed, its textures uploaded, and its models published.
#include "3D/OGL_Support.h"
#include "3D/TQ3D_Local.h"
#include "System/Alerts.h"
#include "System/DataFiles.h"
#include "System/Memory.h"
#include "System/ProgramState.h"
#include "Tarnet/Files/Files.h"

#include <cstdarg>
#include <cstdio>

void TQ3D_FatalInFile(const char* fileName, const char* format, ...)
{
    char message[768];
    va_list args;
    va_start(args, format);
    vsnprintf(message, sizeof(message), format, args);
    va_end(args);
    ShowFatalAlert("%s (in %s)", message, fileName);
}

int ImportTQ3D(const Tarnet::FSSpec* spec, int groupNum, int varPool)
{
    GAME_ASSERT(groupNum >= 0 && groupNum < MAX_TQ3D_GROUPS);
    GAME_ASSERT(!gLoadedModelFiles[groupNum]); // the caller frees the slot's older file first

    int32_t size = 0;
    uint8_t* data = (uint8_t*)LoadDataFileFromSpec(spec, spec->name, &size);
    if (!data)
        TQ3D_FatalInFile(spec->name, "ImportTQ3D: FSpOpenDF failed");
    TQ3DParsedFile parsed;
    try {
        TQ3D_ParseFile(spec->name, data, size, varPool, &parsed);
    } catch (const FatalAlertError&) {
        SafeDisposePtr(data);
        throw;
    }
    SafeDisposePtr(data);

    TQ3D_UploadTextureImages(&parsed, spec->name);
    return TQ3D_PublishContainer(&parsed, groupNum);
}

int LoadModelGroup(int groupNum, const char* colonPath)
{
    TQ3D_DisposeContainer(groupNum);
    Tarnet::FSSpec spec;
    if (Tarnet::FSMakeFSSpec(gDataFolderSpec.vRefNum, gDataFolderSpec.parID, colonPath, &spec) !=
        Tarnet::noErr)
        TQ3D_FatalInFile(colonPath, "ImportTQ3D: FSpOpenDF failed");
    return ImportTQ3D(&spec, groupNum, VERTEX_ARRAY_POOL_MODELS);
}
