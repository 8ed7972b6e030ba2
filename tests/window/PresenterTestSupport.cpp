#include "PresenterTestSupport.h"

#include "catalogue/Windows1252.h"
#include "settings/SettingsStore.h"

namespace brimble::test {

void PresenterTest::Open() {
    m_window.reset();
    m_window = std::make_unique<Window>();
    View().presenter = &Presenter();
    Presenter().Start();
}

std::filesystem::path PresenterTest::Rom(const std::filesystem::path& relative, std::size_t romBytes,
                                         std::uint32_t seed) {
    const auto path = m_dir.Path() / relative;
    std::filesystem::create_directories(path.parent_path());
    WriteNesFile(path, romBytes, seed);
    return path;
}

void PresenterTest::WriteSettings(const std::string& lines) {
    WriteFile(m_dir / "brimble.ini", "[config]\r\n" + lines);
}

std::string PresenterTest::SettingsText() const {
    const auto path = m_dir.Path() / "brimble.ini";
    return std::filesystem::exists(path) ? ReadText(path) : std::string();
}

std::string PresenterTest::Setting(const char* key) const {
    return SettingsStore(m_dir / "brimble.ini").ReadString("config", key, "<missing>");
}

void PresenterTest::OpenWithRoms(const std::vector<std::string>& stems) {
    std::vector<std::filesystem::path> paths;
    for (std::size_t i = 0; i < stems.size(); ++i) {
        const auto n = static_cast<std::uint32_t>(i + 1);
        paths.push_back(Rom(stems[i] + ".nes", 1000 * n, n));
    }
    Open();
    Drop(paths);
}

void PresenterTest::ExpectShown(int row, const std::string& title) {
    EXPECT_EQ(Roms().Selection(), row);
    EXPECT_EQ(View().selectedRow, row);
    EXPECT_EQ(Text(ControlId::Title), title);
    if (row >= 0) {
        ASSERT_LT(static_cast<std::size_t>(row), Items().size());
        EXPECT_EQ(Items()[static_cast<std::size_t>(row)], title);
        EXPECT_EQ(Windows1252ToUtf8(Roms().At(static_cast<std::size_t>(row)).title), title);
    }
}

void PresenterTest::Click(ControlId id) {
    MainWindowPresenter& presenter = Presenter();
    switch (id) {
    case ControlId::Add:
        return presenter.OnAdd();
    case ControlId::Remove:
        return presenter.OnRemove();
    case ControlId::Sort:
        return presenter.OnSort();
    case ControlId::Build:
        return presenter.OnBuild();
    case ControlId::ChooseOutput:
        return presenter.OnChooseOutput();
    case ControlId::ChooseSplash:
        return presenter.OnChooseSplash();
    case ControlId::TogglePanel:
        return presenter.OnTogglePanel();
    case ControlId::FollowSprite:
    case ControlId::FollowMemory:
        View().controls[ControlId::FollowSprite].checked = id == ControlId::FollowSprite;
        View().controls[ControlId::FollowMemory].checked = id == ControlId::FollowMemory;
        return;
    default:
        View().controls[id].checked = !View().controls[id].checked;
        if (id == ControlId::Splash)
            presenter.OnSplashToggled();
        return;
    }
}

void PresenterTest::Select(int row) {
    View().selectedRow = row;
    Presenter().OnSelectionChanged(row);
}

void PresenterTest::Type(ControlId id, const std::string& text) {
    View().controls[id].text = text;
    if (id == ControlId::Title)
        Presenter().OnTitleEdited();
}

void PresenterTest::Add(const std::vector<std::filesystem::path>& paths) {
    View().Choose(paths);
    Presenter().OnAdd();
}

} // namespace brimble::test
