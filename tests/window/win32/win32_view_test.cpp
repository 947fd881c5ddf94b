// The Win32 front-end of the main window: its layout, the controls' events
// reaching TForm1, the picture, the error box and the workers' hand-over to
// the main thread (with the front-ends' shared suite of main_thread_contract.h). Needs a display
// (test-windows runs it inside Xvfb).
#include "combo_contract.h"
#include "keyboard_contract.h"
#include "main_thread_contract.h"
#include "support/temp_folder.h"
#include "support/test_jpeg.h"

#include "base/error.h"
#include "base/file.h"
#include "base/texts.h"
#include "protocol/wallpaper_installer.h"
#include "protocol/worker_starter.h"
#include "window/tform1.h"
#include "window/win32/preview_image.h"
#include "window/win32/win32_main_thread.h"
#include "window/win32/win32_view.h"
#include "window/win32/window_object.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <oleacc.h>

#include <jerror.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <map>
#include <thread>

namespace tarvenia::win32 {
namespace {

    using Clock = std::chrono::steady_clock;

    class RecordingStarter final : public WorkerStarter {
    public:
        void StartWorker(RunKind, const std::string& url) override { urls.push_back(url); }
        std::vector<std::string> urls;
    };

    class RecordingWallpaper final : public WallpaperInstaller {
    public:
        bool Install(const std::string& path) noexcept override
        {
            paths.push_back(path);
            return true;
        }
        std::vector<std::string> paths;
    };

    // Handles the window's messages for a while, as the program's loop does.
    void Pump(std::chrono::milliseconds duration)
    {
        const auto end = Clock::now() + duration;
        do {
            MSG msg;
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        } while (Clock::now() < end);
    }

    // Answers the next error box on another thread: keeps its text and caption
    // and presses OK. Gives up after a few seconds.
    class ErrorBoxWatcher {
    public:
        ErrorBoxWatcher()
            : thread_([this] { Watch(); })
        {
        }
        ~ErrorBoxWatcher()
        {
            stop_ = true;
            thread_.join();
        }
        // Waits (bounded) for the box to have been answered.
        bool Wait()
        {
            const auto end = Clock::now() + std::chrono::seconds(5);
            while (!answered_ && Clock::now() < end)
                Pump(std::chrono::milliseconds(20));
            return answered_;
        }
        std::string text;
        int boxes = 0;

    private:
        void Watch()
        {
            const auto end = Clock::now() + std::chrono::seconds(6);
            while (!stop_ && Clock::now() < end) {
                HWND box = ::FindWindowA("#32770", texts::kAppTitle);
                if (box && box != last_) {
                    last_ = box;
                    text = LongestStaticText(box);
                    ++boxes;
                    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
                    answered_ = true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        }
        // The message of a box is its longest static text (the icon is a
        // static control too).
        static std::string LongestStaticText(HWND box)
        {
            std::string longest;
            for (HWND child = ::GetWindow(box, GW_CHILD); child;
                 child = ::GetWindow(child, GW_HWNDNEXT)) {
                char cls[32] = {}, buffer[512] = {};
                ::GetClassNameA(child, cls, sizeof cls);
                if (::lstrcmpiA(cls, "Static") != 0)
                    continue;
                ::GetWindowTextA(child, buffer, sizeof buffer);
                if (std::strlen(buffer) > longest.size())
                    longest = buffer;
            }
            return longest;
        }
        HWND last_ = nullptr;
        std::atomic<bool> stop_ { false };
        std::atomic<bool> answered_ { false };
        std::thread thread_;
    };

    // The Win32 window for the combo box's shared suite.
    class Win32Combo final : public testing::ComboFrontEnd {
    public:
        Win32Combo()
        {
            state_.Paths = WorkPaths::InFolder(temp_.Dir());
            view_ = std::make_unique<Win32View>(::GetModuleHandleA(nullptr), 24);
            form_ = std::make_unique<TForm1>(*view_, state_, starter_, wallpaper_, 24);
            view_->Create(*form_);
            form_->FormCreate(temp_.Dir());
            view_->Show();
            Pump(std::chrono::milliseconds(50));
        }
        ~Win32Combo() override
        {
            form_.reset();
            view_.reset();
        }
        TView& View() override { return *view_; }
        TForm1& Form() override { return *form_; }
        SharedState& State() override { return state_; }
        const std::vector<std::string>& Started() const override { return starter_.urls; }
        // Characters typed into the edit field, over its whole text.
        void Type(const std::string& text) override
        {
            HWND edit = ::GetWindow(Combo(), GW_CHILD);
            ASSERT_NE(edit, nullptr);
            ::SendMessageA(edit, EM_SETSEL, 0, -1);
            for (char ch : text)
                ::SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(ch), 1);
        }
        // The list's selection moves and tells its parent, as a click in the
        // dropped-down list does.
        void Pick(int index) override
        {
            ::SendMessageA(Combo(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
            ::SendMessageA(view_->Handle(), WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE),
                reinterpret_cast<LPARAM>(Combo()));
        }
        int VisibleRows() override
        {
            ::SendMessageA(Combo(), CB_SHOWDROPDOWN, TRUE, 0);
            COMBOBOXINFO info {};
            info.cbSize = sizeof info;
            RECT list {};
            if (::GetComboBoxInfo(Combo(), &info))
                ::GetClientRect(info.hwndList, &list);
            const int row = static_cast<int>(::SendMessageA(Combo(), CB_GETITEMHEIGHT, 0, 0));
            ::SendMessageA(Combo(), CB_SHOWDROPDOWN, FALSE, 0);
            return row > 0 ? static_cast<int>(list.bottom) / row : -1;
        }
        bool ComboOnScreen() override { return ::IsWindowVisible(Combo()) != FALSE; }
        void Settle() override { Pump(std::chrono::milliseconds(20)); }

    private:
        HWND Combo() const { return view_->ControlHandle(Control::combo); }

        tarvenia::testing::TempFolder temp_;
        SharedState state_;
        RecordingStarter starter_;
        RecordingWallpaper wallpaper_;
        std::unique_ptr<Win32View> view_;
        std::unique_ptr<TForm1> form_;
    };

    std::unique_ptr<testing::ComboFrontEnd> MakeWin32Combo()
    {
        return std::make_unique<Win32Combo>();
    }
    using testing::ComboContract;
    INSTANTIATE_TEST_SUITE_P(Win32, ComboContract, ::testing::Values(&MakeWin32Combo),
        [](const auto&) { return std::string("win32"); });

    // The hand-over's shared suite, with a shown window of our own that
    // reports its paints and timer.
    class Win32HandOver final : public testing::MainThreadFrontEnd {
    public:
        Win32HandOver()
        {
            HINSTANCE instance = ::GetModuleHandleA(nullptr);
            WNDCLASSA wc {};
            if (!::GetClassInfoA(instance, kClassName, &wc)) {
                wc.lpfnWndProc = &Proc;
                wc.hInstance = instance;
                wc.lpszClassName = kClassName;
                ::RegisterClassA(&wc);
            }
            hwnd_ = ::CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP | WS_VISIBLE, 0, 0,
                40, 30, nullptr, nullptr, instance, this);
            ::UpdateWindow(hwnd_);
            main_ = std::make_unique<Win32MainThread>(hwnd_);
        }
        ~Win32HandOver() override
        {
            main_.reset();
            ::DestroyWindow(hwnd_);
        }
        MainThread& Main() override { return *main_; }
        // The program's loop, looking at `done` after every message and
        // whenever a message arrives or 5 ms have passed.
        bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override
        {
            const auto end = Clock::now() + limit;
            for (;;) {
                MSG msg;
                while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageA(&msg);
                    if (done())
                        return true;
                    if (Clock::now() > end)
                        return false;
                }
                if (done())
                    return true;
                if (Clock::now() > end)
                    return false;
                ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
            }
        }
        void StartTimer(std::chrono::milliseconds interval, std::function<void()> tick) override
        {
            tick_ = std::move(tick);
            ::SetTimer(hwnd_, 1, static_cast<UINT>(interval.count()), nullptr);
        }
        void RequestPaint(std::function<void()> painted) override
        {
            painted_ = std::move(painted);
            ::InvalidateRect(hwnd_, nullptr, FALSE);
        }

    private:
        static constexpr char kClassName[] = "TarveniaHandOverProbe";
        static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
        {
            auto* self = WindowObject<Win32HandOver>(hwnd, msg, lp);
            if (self && msg == WM_PAINT) {
                PAINTSTRUCT ps;
                ::BeginPaint(hwnd, &ps);
                ::EndPaint(hwnd, &ps);
                if (self->painted_)
                    self->painted_();
                return 0;
            }
            if (self && msg == WM_TIMER && wp == 1) {
                if (self->tick_)
                    self->tick_();
                return 0;
            }
            return ::DefWindowProcA(hwnd, msg, wp, lp);
        }

        HWND hwnd_ = nullptr;
        std::unique_ptr<Win32MainThread> main_;
        std::function<void()> tick_, painted_;
    };

    std::unique_ptr<testing::MainThreadFrontEnd> MakeWin32HandOver()
    {
        return std::make_unique<Win32HandOver>();
    }
    using testing::MainThreadContract;
    INSTANTIATE_TEST_SUITE_P(Win32, MainThreadContract, ::testing::Values(&MakeWin32HandOver),
        [](const auto&) { return std::string("win32"); });

    // The Win32 window for the keyboard's shared suite: key messages posted
    // to the focus window and handled by the program's own loop
    // (PreTranslateMessage); the modifiers are set in the thread's key state.
    class Win32Keyboard final : public testing::KeyboardFrontEnd {
    public:
        Win32Keyboard()
        {
            state.Paths = WorkPaths::InFolder(Dir());
            view_ = std::make_unique<Win32View>(::GetModuleHandleA(nullptr), 24);
            form = std::make_unique<TForm1>(*view_, state, workers, wallpaper, 24);
            view_->Create(*form);
            form->FormCreate(Dir());
            view_->Show();
            Loop();
        }
        ~Win32Keyboard() override { view_.reset(); }
        TView& View() override { return *view_; }
        void Press(const Key& key) override
        {
            BYTE saved[256], keys[256];
            ::GetKeyboardState(saved);
            std::memcpy(keys, saved, sizeof keys);
            keys[VK_CONTROL] = key.ctrl ? 0x80 : 0;
            keys[VK_SHIFT] = key.shift ? 0x80 : 0;
            keys[VK_MENU] = key.alt ? 0x80 : 0;
            ::SetKeyboardState(keys);
            static const std::map<Key::Code, UINT> vks = {
                { Key::Code::Return, VK_RETURN },
                { Key::Code::Space, VK_SPACE },
                { Key::Code::Escape, VK_ESCAPE },
                { Key::Code::Tab, VK_TAB },
                { Key::Code::Up, VK_UP },
                { Key::Code::Down, VK_DOWN },
                { Key::Code::PageUp, VK_PRIOR },
                { Key::Code::PageDown, VK_NEXT },
                { Key::Code::Home, VK_HOME },
                { Key::Code::End, VK_END },
                { Key::Code::F4, VK_F4 },
            };
            const UINT vk
                = key.code == Key::Code::Letter ? static_cast<UINT>(key.letter) : vks.at(key.code);
            HWND target = ::GetFocus();
            if (!target)
                target = view_->Handle();
            const LPARAM lp = 1 | (key.alt ? (1 << 29) : 0);
            ::PostMessageA(target, key.alt ? WM_SYSKEYDOWN : WM_KEYDOWN, vk, lp);
            ::PostMessageA(target, key.alt ? WM_SYSKEYUP : WM_KEYUP, vk,
                lp | static_cast<LPARAM>(0xC0000000u));
            Loop();
            ::SetKeyboardState(saved);
        }
        bool Closed() const override { return view_->Handle() == nullptr; }
        bool KeyboardCues() const override { return view_->KeyboardCues(); }

    private:
        // The program's message loop, until the queue is empty.
        void Loop()
        {
            for (int idle = 0; idle < 3;) {
                MSG msg;
                if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                    ++idle;
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                    continue;
                }
                idle = 0;
                if (view_->PreTranslateMessage(msg))
                    continue;
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        std::unique_ptr<Win32View> view_;
    };

    std::unique_ptr<testing::KeyboardFrontEnd> MakeWin32Keyboard()
    {
        return std::make_unique<Win32Keyboard>();
    }
    using testing::KeyboardContract;
    INSTANTIATE_TEST_SUITE_P(Win32, KeyboardContract, ::testing::Values(&MakeWin32Keyboard),
        [](const auto&) { return std::string("win32"); });

    class Win32ViewTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            state_.Paths = WorkPaths::InFolder(Dir());
            view_ = std::make_unique<Win32View>(::GetModuleHandleA(nullptr), 24);
            form_ = std::make_unique<TForm1>(*view_, state_, starter_, wallpaper_, 24);
        }
        void TearDown() override
        {
            form_.reset();
            view_.reset();
        }
        void Create()
        {
            view_->Create(*form_);
            form_->FormCreate(Dir());
            ASSERT_NE(view_->Handle(), nullptr);
            view_->Show();
            Pump(std::chrono::milliseconds(50));
        }
        std::string Dir() const { return temp_.Root().string() + "\\"; }
        void WriteFile(const std::string& path, const std::vector<unsigned char>& bytes)
        {
            std::ofstream(path, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<std::streamsize>(bytes.size()));
        }
        // A control's rectangle in the client coordinates of its parent.
        static RECT InParent(HWND control)
        {
            RECT r;
            ::GetWindowRect(control, &r);
            ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
            return r;
        }
        void Click(HWND control, int x = 5, int y = 5)
        {
            ::SendMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
            ::SendMessageA(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
        }
        COLORREF PixelAt(int x, int y)
        {
            ::RedrawWindow(view_->Handle(), nullptr, nullptr,
                RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            HDC dc = ::GetDC(view_->Handle());
            COLORREF c = ::GetPixel(dc, x, y);
            ::ReleaseDC(view_->Handle(), dc);
            return c;
        }

        tarvenia::testing::TempFolder temp_;
        SharedState state_;
        RecordingStarter starter_;
        RecordingWallpaper wallpaper_;
        std::unique_ptr<Win32View> view_;
        std::unique_ptr<TForm1> form_;
    };

    TEST_F(Win32ViewTest, TheWindowFollowsTheStoredLayout)
    {
        Create();
        HWND w = view_->Handle();
        RECT client;
        ::GetClientRect(w, &client);
        EXPECT_EQ(client.right, 251);
        EXPECT_EQ(client.bottom, 180);
        const LONG style = ::GetWindowLongA(w, GWL_STYLE);
        EXPECT_TRUE(style & WS_CAPTION);
        EXPECT_TRUE(style & WS_SYSMENU);
        EXPECT_FALSE(style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
        char caption[64] = {};
        ::GetWindowTextA(w, caption, sizeof caption);
        EXPECT_STREQ(caption, texts::kWindowCaption);
        EXPECT_NE(::GetClassLongPtrA(w, GCLP_HICON), 0u);

        struct Row {
            const char* name;
            HWND handle;
            HWND parent;
            RECT rect;
        } rows[] = {
            { "badd", view_->ControlHandle(Control::badd), w, { 225, 135, 248, 157 } },
            { "StatusBar1", view_->StatusBarHandle(), w, { 0, 161, 251, 180 } },
            { "GroupBox1", view_->GroupBoxHandle(), w, { 173, 2, 246, 129 } },
            { "bsal", view_->ControlHandle(Control::bsal), view_->GroupBoxHandle(),
                { 8, 11, 65, 36 } },
            { "bcon", view_->ControlHandle(Control::bcon), view_->GroupBoxHandle(),
                { 8, 39, 65, 64 } },
            { "bcnf", view_->ControlHandle(Control::bcnf), view_->GroupBoxHandle(),
                { 8, 68, 65, 93 } },
            { "bfav", view_->ControlHandle(Control::bfav), view_->GroupBoxHandle(),
                { 8, 96, 65, 121 } },
        };
        for (const auto& row : rows) {
            SCOPED_TRACE(row.name);
            ASSERT_NE(row.handle, nullptr);
            EXPECT_EQ(::GetParent(row.handle), row.parent);
            RECT r = InParent(row.handle);
            EXPECT_EQ(r.left, row.rect.left);
            EXPECT_EQ(r.top, row.rect.top);
            EXPECT_EQ(r.right, row.rect.right);
            EXPECT_EQ(r.bottom, row.rect.bottom);
        }
        // The combo: 213 wide at (8, 136); its rows are checked with the
        // other front-end's (combo_contract_test.cpp).
        HWND combo = view_->ControlHandle(Control::combo);
        RECT field = InParent(combo);
        EXPECT_EQ(field.left, 8);
        EXPECT_EQ(field.top, 136);
        EXPECT_EQ(field.right - field.left, 213);
        EXPECT_TRUE(::GetWindowLongA(combo, GWL_STYLE) & CBS_DROPDOWN);
        EXPECT_TRUE(::GetWindowLongA(combo, GWL_STYLE) & WS_TABSTOP);

        // Visible at start: Salir and Conectar only.
        struct Shown {
            Control control;
            bool visible;
        } shown[] = { { Control::bsal, true }, { Control::bcon, true }, { Control::bcnf, false },
            { Control::bfav, false }, { Control::badd, false }, { Control::combo, false } };
        for (const auto& s : shown) {
            SCOPED_TRACE(static_cast<int>(s.control));
            EXPECT_EQ(view_->IsVisible(s.control), s.visible);
            EXPECT_EQ(::IsWindowVisible(view_->ControlHandle(s.control)) != 0, s.visible);
        }
        EXPECT_EQ(view_->Caption(Control::bfav), texts::kFavoritas);
        EXPECT_EQ(view_->Hint(Control::badd), texts::kHintAdd);
        EXPECT_EQ(::SendMessageA(view_->ToolTipHandle(), TTM_GETTOOLCOUNT, 0, 0), 1);
    }

    // What a screen reader asks each control through MSAA: its name (the
    // window text) and its role (push buttons and a graphic for the controls
    // the program draws; the system's own for the others).
    TEST_F(Win32ViewTest, ScreenReadersReadEachControlsNameAndRole)
    {
        Create();
        for (Control c : { Control::bcnf, Control::badd, Control::combo })
            view_->SetVisible(c, true);
        view_->SetHint(Control::badd, texts::kHintRemove);
        view_->SetPictureTitle("Faro de invierno");
        view_->SetStatusText(texts::kDescargaCompletada, true);
        view_->SetStatusText("1024 bytes recibidos", false); // drawn, not announced
        HWND image = ::ChildWindowFromPointEx(view_->Handle(), { 60, 60 }, CWP_ALL);
        struct Row {
            const char* what;
            HWND hwnd;
            std::string name;
            long role; // 0: whatever the system gives
        } rows[] = {
            { "bsal", view_->ControlHandle(Control::bsal), texts::kSalir, ROLE_SYSTEM_PUSHBUTTON },
            { "bcnf", view_->ControlHandle(Control::bcnf), texts::kConfirmar,
                ROLE_SYSTEM_PUSHBUTTON },
            { "badd", view_->ControlHandle(Control::badd), texts::kHintRemove,
                ROLE_SYSTEM_PUSHBUTTON },
            { "Image1", image, "Faro de invierno", ROLE_SYSTEM_GRAPHIC },
            { "StatusBar1", view_->StatusBarHandle(), texts::kDescargaCompletada, 0 },
            { "combo label", ::GetWindow(view_->ControlHandle(Control::combo), GW_HWNDPREV),
                "Fotos", 0 },
        };
        for (const Row& row : rows) {
            SCOPED_TRACE(row.what);
            ASSERT_NE(row.hwnd, nullptr);
            char text[128] = {};
            ::GetWindowTextA(row.hwnd, text, sizeof text);
            EXPECT_EQ(std::string(text), row.name);
            IAccessible* object = nullptr;
            ASSERT_EQ(::AccessibleObjectFromWindow(row.hwnd, static_cast<DWORD>(OBJID_CLIENT),
                          __uuidof(IAccessible), reinterpret_cast<void**>(&object)),
                S_OK);
            VARIANT self;
            self.vt = VT_I4;
            self.lVal = CHILDID_SELF;
            BSTR name = nullptr;
            if (SUCCEEDED(object->get_accName(self, &name)) && name) {
                char bytes[128] = {};
                ::WideCharToMultiByte(1252, 0, name, -1, bytes, sizeof bytes, nullptr, nullptr);
                EXPECT_EQ(std::string(bytes), row.name);
                ::SysFreeString(name);
            } else {
                ADD_FAILURE() << "no name";
            }
            VARIANT role;
            ::VariantInit(&role);
            if (row.role) {
                EXPECT_EQ(object->get_accRole(self, &role), S_OK);
                EXPECT_EQ(role.vt, VT_I4);
                EXPECT_EQ(role.lVal, row.role);
            }
            object->Release();
        }
    }

    // A screen reader's press is the mouse's click, and only while the button
    // is shown.
    TEST_F(Win32ViewTest, AScreenReaderPressesAButtonThroughItsClick)
    {
        Create();
        HWND bcon = view_->ControlHandle(Control::bcon);
        IAccessible* object = nullptr;
        ASSERT_EQ(::AccessibleObjectFromWindow(bcon, static_cast<DWORD>(OBJID_CLIENT),
                      __uuidof(IAccessible), reinterpret_cast<void**>(&object)),
            S_OK);
        VARIANT self;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        ::SetFocus(bcon);
        VARIANT state;
        ::VariantInit(&state);
        ASSERT_EQ(object->get_accState(self, &state), S_OK);
        EXPECT_EQ(
            state.lVal & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_UNAVAILABLE),
            STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
        BSTR action = nullptr;
        ASSERT_EQ(object->get_accDefaultAction(self, &action), S_OK);
        EXPECT_STREQ(action, L"Presionar");
        ::SysFreeString(action);

        EXPECT_EQ(object->accDoDefaultAction(self), S_OK);
        Pump(std::chrono::milliseconds(20)); // the press is posted
        ASSERT_EQ(starter_.urls.size(), 1u); // the first-connection run
        EXPECT_FALSE(view_->IsVisible(Control::bcon));
        EXPECT_NE(object->accDoDefaultAction(self), S_OK);
        Pump(std::chrono::milliseconds(20));
        EXPECT_EQ(starter_.urls.size(), 1u);
        object->Release();
    }

    // The view reports the primary screen, whose corner is the desktop's
    // origin, and puts the window where the controller says.
    TEST_F(Win32ViewTest, TheWindowGoesWhereTheControllerPlacesIt)
    {
        Create();
        const layout::Box screen = view_->PrimaryScreen();
        EXPECT_EQ(screen.left, 0);
        EXPECT_EQ(screen.top, 0);
        EXPECT_EQ(screen.width, ::GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(screen.height, ::GetSystemMetrics(SM_CYSCREEN));
        EXPECT_EQ(form_->FavoritesPath, Dir() + "qndelarf.qdl");
        struct Place {
            int left, top;
        } places[] = { { screen.width - 275, screen.height - 350 }, { 525, 250 }, { -20, 30 } };
        for (const auto& p : places) {
            if (&p != &places[0])
                view_->MoveTo(p.left, p.top);
            RECT r;
            ::GetWindowRect(view_->Handle(), &r);
            EXPECT_EQ(r.left, p.left);
            EXPECT_EQ(r.top, p.top);
        }
    }

    TEST_F(Win32ViewTest, ColoursOfTheWindowStatusBarAndGroupBox)
    {
        Create();
        ::SetWindowPos(view_->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Pump(std::chrono::milliseconds(100));
        struct Probe {
            const char* where;
            int x, y;
            COLORREF colour;
        } probes[] = {
            { "window", 100, 150, RGB(188, 190, 254) },
            { "inside GroupBox1", 180 + 30, 2 + 124, RGB(188, 190, 254) },
            { "empty Image1", 80, 60, RGB(188, 190, 254) },
            { "StatusBar1", 120, 172, RGB(227, 228, 255) },
        };
        for (const auto& p : probes) {
            SCOPED_TRACE(p.where);
            EXPECT_EQ(PixelAt(p.x, p.y), p.colour);
        }
    }

    TEST_F(Win32ViewTest, ControlsShowHideAndKeepTheirTexts)
    {
        Create();
        for (Control c :
            { Control::bcnf, Control::bfav, Control::badd, Control::combo, Control::bsal }) {
            SCOPED_TRACE(static_cast<int>(c));
            for (bool visible : { true, false, true }) {
                view_->SetVisible(c, visible);
                EXPECT_EQ(view_->IsVisible(c), visible);
                EXPECT_EQ(::IsWindowVisible(view_->ControlHandle(c)) != 0, visible);
            }
        }
        view_->SetCaption(Control::bfav, texts::kTodas);
        EXPECT_EQ(view_->Caption(Control::bfav), texts::kTodas);

        // The status bar keeps the Windows-1252 bytes as given.
        view_->SetStatusText(texts::kConexion, true);
        char status[64] = {};
        ::SendMessageA(view_->StatusBarHandle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(status));
        EXPECT_STREQ(status, texts::kConexion);

        // Hints: changed in place, removed when emptied.
        HWND tip = view_->ToolTipHandle();
        view_->SetHint(Control::badd, texts::kHintRemove);
        char hint[64] = {};
        TOOLINFOA ti {};
        ti.cbSize = TTTOOLINFOA_V1_SIZE;
        ti.hwnd = view_->Handle();
        ti.uId = reinterpret_cast<UINT_PTR>(view_->ControlHandle(Control::badd));
        ti.lpszText = hint;
        ::SendMessageA(tip, TTM_GETTEXTA, sizeof hint, reinterpret_cast<LPARAM>(&ti));
        EXPECT_STREQ(hint, texts::kHintRemove);
        view_->SetHint(Control::badd, "");
        EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 0);

        view_->SetAddGlyph(1);
        EXPECT_EQ(view_->AddGlyph(), 1);
        int w = 0, h = 0;
        ::ImageList_GetIconSize(view_->ImageList1(), &w, &h);
        EXPECT_EQ(::ImageList_GetImageCount(view_->ImageList1()), 2);
        EXPECT_EQ(w, 16);
        EXPECT_EQ(h, 16);
    }

    // The favourites view of a file that is gone: the error box, and the
    // combo, emptied, still shows the title of the photo on show.
    TEST_F(Win32ViewTest, AMissingFavouritesFileKeepsTheShownTitle)
    {
        Create();
        StringList& items = view_->ComboItems();
        view_->SetVisible(Control::combo, true);
        state_.CurrentKey = "20030305";
        form_->FavoritesPath = Dir() + "qndelarf.qdl";
        items.Add("Amanecer");
        view_->SetComboSelectedIndex(0);
        view_->SetComboText("Amanecer");
        view_->SetVisible(Control::bfav, true);
        ErrorBoxWatcher watcher;
        Click(view_->ControlHandle(Control::bfav));
        ASSERT_TRUE(watcher.Wait());
        EXPECT_EQ(watcher.text, "File not found.");
        EXPECT_EQ(view_->Caption(Control::bfav), texts::kTodas);
        EXPECT_EQ(items.Count(), 0);
        EXPECT_EQ(view_->ComboText(), "Amanecer");
        EXPECT_TRUE(starter_.urls.empty());
    }

    TEST_F(Win32ViewTest, SpeedButtonsClickOnReleaseInsideAndNeverTakeTheFocus)
    {
        Create();
        HWND bcon = view_->ControlHandle(Control::bcon);
        ::SetFocus(view_->Handle());
        // Released outside: no click.
        ::SendMessageA(bcon, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        ::SendMessageA(bcon, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(200, 5));
        ::SendMessageA(bcon, WM_LBUTTONUP, 0, MAKELPARAM(200, 5));
        EXPECT_TRUE(starter_.urls.empty());
        EXPECT_TRUE(view_->IsVisible(Control::bcon));

        Click(bcon);
        EXPECT_NE(::GetFocus(), bcon);
        ASSERT_EQ(starter_.urls.size(), 1u); // the first-connection run
        EXPECT_FALSE(view_->IsVisible(Control::bcon));
        char status[64] = {};
        ::SendMessageA(view_->StatusBarHandle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(status));
        EXPECT_STREQ(status, texts::kConectando);
    }

    TEST_F(Win32ViewTest, TheTimerShowsAnArrivedPhotoAndDrawsItStretched)
    {
        Create();
        WriteFile(state_.Paths.photo, testing::MakeJpeg(320, 240));
        state_.ImageReady = true;
        state_.SelectedKey = state_.CurrentKey = "20030305";
        view_->ComboItems().Add("Amanecer");
        const auto end = Clock::now() + std::chrono::seconds(3);
        while (!view_->IsVisible(Control::bcnf) && Clock::now() < end)
            Pump(std::chrono::milliseconds(50));
        EXPECT_TRUE(view_->IsVisible(Control::bcnf));
        EXPECT_TRUE(view_->IsVisible(Control::combo));
        EXPECT_TRUE(view_->Image1().HasPicture());
        ::SetWindowPos(view_->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        Pump(std::chrono::milliseconds(100));
        // Blue on the left of the gradient, red on the right, the whole
        // preview covered.
        COLORREF left = PixelAt(8 + 4, 8 + 110);
        COLORREF right = PixelAt(8 + 155, 8 + 110);
        EXPECT_GT(GetBValue(left), 200);
        EXPECT_LT(GetRValue(left), 50);
        EXPECT_GT(GetRValue(right), 200);
        EXPECT_LT(GetBValue(right), 50);
    }

    TEST_F(Win32ViewTest, ADecodeFailureIsReportedOnceAfterThePaint)
    {
        Create();
        WriteFile(state_.Paths.photo, {}); // an empty photo loads, then fails to decode
        view_->LoadPicture(state_.Paths.photo);
        ErrorBoxWatcher watcher;
        ::RedrawWindow(view_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ASSERT_TRUE(watcher.Wait());
        EXPECT_EQ(watcher.text, "JPEG error #" + std::to_string(JERR_INPUT_EMPTY) + ".");
        // Later paints report nothing.
        ::RedrawWindow(view_->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        Pump(std::chrono::milliseconds(500));
        EXPECT_EQ(watcher.boxes, 1);

        // A file that is no JPEG fails at the load, and the picture stays.
        WriteFile(state_.Paths.photo, { '<', 'h', 't', 'm', 'l', '>' });
        try {
            view_->LoadPicture(state_.Paths.photo);
            ADD_FAILURE() << "loaded";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "JPEG error #" + std::to_string(JERR_NO_SOI));
        }
    }

    TEST_F(Win32ViewTest, OnceTheWindowIsGoneAHandOverReturnsWithoutRunning)
    {
        Create();
        Win32MainThread main(view_->HandleRef());
        view_->Close();
        bool ran = false;
        std::thread late([&] { main.RunAndWait([&] { ran = true; }); });
        late.join();
        main.RunAndWait([&] { ran = true; });
        EXPECT_FALSE(ran);
    }

    TEST_F(Win32ViewTest, ClosingRunsFormCloseOnce)
    {
        Create();
        WriteFile(state_.Paths.photo, { 1, 2, 3 });
        WriteFile(state_.Paths.catalog, { '2', '0' });
        WriteFile(state_.Paths.bitmap, { 'B', 'M' });
        Click(view_->ControlHandle(Control::bsal));
        EXPECT_EQ(view_->Handle(), nullptr);
        EXPECT_FALSE(File::Exists(state_.Paths.photo));
        EXPECT_FALSE(File::Exists(state_.Paths.catalog));
        EXPECT_TRUE(File::Exists(state_.Paths.bitmap));
    }

    TEST(PreviewImageTest, HalftoningOnlyWhereAShallowDisplayShowsADeeperPicture)
    {
        struct Case {
            int display, picture, mode;
        } cases[] = {
            { 32, 24, COLORONCOLOR },
            { 24, 8, COLORONCOLOR },
            { 16, 24, COLORONCOLOR },
            { 8, 8, COLORONCOLOR },
            { 8, 24, HALFTONE },
            { 4, 8, HALFTONE },
        };
        for (const auto& c : cases)
            EXPECT_EQ(PreviewImage::StretchModeFor(c.display, c.picture), c.mode)
                << c.display << " / " << c.picture;
    }

} // namespace
} // namespace tarvenia::win32
