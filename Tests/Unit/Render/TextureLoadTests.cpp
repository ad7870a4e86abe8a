#include "3D/OGL_Support.h"
#include "Support/AlertCapture.h"
#include "Support/TempFolder.h"
#include "System/GameShell.h"
#include "Tarnet/Tarnet.h"

#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "Window/RenderTestImages.h"

// Every case here fails before anything is uploaded, so no OpenGL context is needed.
class TextureFiles : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Tarnet::Startup();
        std::filesystem::create_directories(folder.Path() / "Data" / "Skeletons");
        std::filesystem::create_directories(folder.Path() / "Data" / "sprites");
        savedDataFolder = gDataFolderSpec;
        gDataFolderSpec = Tarnet::HostPathToFSSpec(folder.Path() / "Data" / "Skeletons");
    }
    void TearDown() override
    {
        gDataFolderSpec = savedDataFolder;
        Tarnet::Shutdown();
    }

    std::filesystem::path Sprite(const char* name) { return folder.Path() / "Data" / "sprites" / name; }

    TempFolder folder;
    Tarnet::FSSpec savedDataFolder;
};

TEST_F(TextureFiles, MissingImageNamesThePath)
{
    std::string message = FatalAlertMessageOf(
        [] { OGL_TextureMap_LoadImageFile(":sprites:nothing", nullptr, nullptr, nullptr); });
    EXPECT_EQ(message, "OGL_TextureMap_LoadImageFile: Texture file missing: :sprites:nothing\n");
}

TEST_F(TextureFiles, MaskOfAnotherSizeThanItsJpegIsRejected)
{
    WriteFile(Sprite("sign.jpg"), SolidJpeg(256, 256, 200, 0, 0));
    WriteFile(Sprite("sign.png"), LeftHalfMask(256, 255));
    std::string message =
        FatalAlertMessageOf([] { OGL_TextureMap_LoadImageFile(":sprites:sign", nullptr, nullptr, nullptr); });
    EXPECT_EQ(message,
              "OGL_TextureMap_LoadImageFile: PNG mask dimensions must match JPEG file: :sprites:sign");
}

TEST_F(TextureFiles, ImageThatDoesNotDecodeIsFatalWithItsName)
{
    WriteFile(Sprite("broken.jpg"),
              {0xFF, 0xD8, 0xFF, 0xE0, 'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'});
    std::string message = FatalAlertMessageOf(
        [] { OGL_TextureMap_LoadImageFile(":sprites:broken", nullptr, nullptr, nullptr); });
    EXPECT_NE(message.find("Cannot decode image :sprites:broken"), std::string::npos) << message;

    WriteFile(Sprite("empty.png"), {});
    message = FatalAlertMessageOf(
        [] { OGL_TextureMap_LoadImageFile(":sprites:empty", nullptr, nullptr, nullptr); });
    EXPECT_NE(message.find("Cannot decode image :sprites:empty"), std::string::npos) << message;
}

TEST_F(TextureFiles, BadMaskBesideAGoodJpegIsFatalToo)
{
    WriteFile(Sprite("half.jpg"), SolidJpeg(16, 16, 0, 0, 200));
    WriteFile(Sprite("half.png"), {0x89, 'P', 'N', 'G', 1, 2, 3});
    std::string message =
        FatalAlertMessageOf([] { OGL_TextureMap_LoadImageFile(":sprites:half", nullptr, nullptr, nullptr); });
    EXPECT_NE(message.find("Cannot decode image :sprites:half"), std::string::npos) << message;
}
