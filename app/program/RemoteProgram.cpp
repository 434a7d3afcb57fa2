#include "app/program/RemoteProgram.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QStandardPaths>
#include <utility>

#include "ArdelVersion.h"
#include "app/daemon/DaemonOptions.h"
#include "app/program/SimInteraction.h"
#include "model/CRemoteModel.h"
#include "mqtt/CMqttNode.h"
#include "platform/HardKeys.h"
#include "platform/Sound.h"
#include "platform/host/AlsaSound.h"
#include "platform/host/HostHandheldFs.h"
#include "platform/host/QtModalRunner.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimProfile.h"
#include "remote/CDUWnd.h"
#include "remote/CGreetingDlg.h"
#include "remote/CHandheldRemoteFiles.h"
#include "remote/CPenGate.h"
#include "resources/StringText.h"
#include "resources/Strings.h"
#include "service/CServiceApi.h"
#include "service/CServiceRemote.h"
#include "service/EmitterLog.h"
#include "service/ServiceAccess.h"
#include "shell/CHardButtonsDlg.h"
#include "shell/CHomeDevicesDlg.h"
#include "shell/CIrSetupDlg.h"
#include "shell/CMainFrame.h"
#include "shell/CRemoteView.h"
#include "shell/KeyboardHardKeys.h"
#include "shell/PreferenceSets.h"

QString ProgramUsage() {
    return QStringLiteral(
               "usage: ardelremote [--chip ID] [--ir IR] [--root FOLDER] [--scale N]\n"
               "                   [--serve [ADDRESS:PORT]] [--sim-emitter-log FILE] [--help]\n"
               "                   [--version]\n"
               "\n"
               "  --chip ID      the handheld to simulate (default pxa255), one of\n"
               "                 %1\n"
               "  --ir IR        sim or sim:CHIP for the simulated handheld, lirc or\n"
               "                 lirc:TRANSMITTER[,RECEIVER] for the kernel's LIRC devices\n"
               "                 (default: the LIRC devices where one can send, else sim)\n"
               "  --root FOLDER  the handheld's files on this computer (default %2);\n"
               "                 made and given the program's skins and sounds on the first start\n"
               "  --scale N      show the program N times as large, 1 to 8 (default: the\n"
               "                 largest that fits the screen)\n"
               "  --serve [ADDRESS:PORT]  serve the HTTP API and the web remote of ardelremoted\n"
               "                 while the window is open (default 127.0.0.1:8733)\n"
               "  --sim-emitter-log FILE  append a line for every send of the simulated handheld\n"
               "  --mqtt URL, --mqtt-ca FILE, --node-id ID, --mqtt-prefix P, --ha-prefix P\n"
               "                 with --serve: be a node of home automation on an MQTT broker,\n"
               "                 as ardelremoted is (see man ardelremoted)\n"
               "  --help         show this text\n"
               "  --version      show the program's version\n")
        .arg(QString::fromStdString(SimProfileIds()), DefaultDeviceRoot());
}

bool ParseProgramOptions(const QStringList& args, ProgramOptions& options, bool& help,
                         QString& error) {
    help = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& option = args[i];
        if (option == "--help" || option == "-h") {
            help = true;
            return true;
        }
        if (option == "--version") {
            options.version = true;
            return true;
        }
        if (option == "--serve") {
            // The address is optional: the next argument is taken when it is no option.
            options.serve = QStringLiteral("127.0.0.1:8733");
            if (i + 1 < args.size() && !args[i + 1].startsWith("--")) {
                QHostAddress address;
                quint16 port = 0;
                if (!ParseListenAddress(args[i + 1], address, port)) {
                    error = QStringLiteral("--serve takes ADDRESS:PORT (127.0.0.1:8733), not %1")
                                .arg(args[i + 1]);
                    return false;
                }
                options.serve = args[++i];
            }
            continue;
        }
        if (option != "--chip" && option != "--root" && option != "--scale" && option != "--ir" &&
            option != "--sim-emitter-log" && !IsMqttOption(option)) {
            error = QStringLiteral("unknown option %1").arg(option);
            return false;
        }
        if (i + 1 >= args.size()) {
            error = QStringLiteral("%1 needs a value").arg(option);
            return false;
        }
        const QString value = args[++i];
        if (TakeMqttOption(option, value, options.mqtt)) {
            error = MqttOptionProblem(option, value);
            if (!error.isEmpty()) {
                return false;
            }
            continue;
        }
        if (option == "--chip") {
            if (!FindSimProfile(value.toStdString())) {
                error = QStringLiteral("unknown handheld %1 (one of %2)")
                            .arg(value, QString::fromStdString(SimProfileIds()));
                return false;
            }
            options.chip = value;
        } else if (option == "--ir") {
            IrChoice choice;
            if (!ParseIrChoice(value, choice, error)) {
                return false;
            }
            options.ir = value;
        } else if (option == "--sim-emitter-log") {
            options.emitterLog = value;
        } else if (option == "--root") {
            if (value.isEmpty()) {
                error = QStringLiteral("--root needs a folder");
                return false;
            }
            options.root = value;
        } else {
            bool ok = false;
            const int scale = value.toInt(&ok);
            if (!ok || scale < 1 || scale > 8) {
                error =
                    QStringLiteral("--scale takes a whole number from 1 to 8, not %1").arg(value);
                return false;
            }
            options.scale = scale;
        }
    }
    const MqttOptions& mqtt = options.mqtt;
    if (options.serve.isEmpty() &&
        !(mqtt.url + mqtt.caFile + mqtt.nodeId + mqtt.prefix + mqtt.haPrefix).isEmpty()) {
        error = QStringLiteral("the MQTT options need --serve");
        return false;
    }
    return true;
}

CRemoteProgram::CRemoteProgram(const ProgramOptions& options, HardKeys* hardKeys,
                               ModalRunner* modal)
    : CRemoteProgram(options, ChosenIr(options), hardKeys, modal) {}

IrChoice CRemoteProgram::ChosenIr(const ProgramOptions& options) {
    HostLircDevice probe;
    IrChoice choice;
    QString error;
    if (!ChooseIr(options.ir, options.chip.toStdString(), probe, LircRoots{}, choice, error)) {
        choice = IrChoice{};
        choice.chip = options.chip.toStdString();
    }
    return choice;
}

CRemoteProgram::CRemoteProgram(const ProgramOptions& options, const IrChoice& ir,
                               HardKeys* hardKeys, ModalRunner* modal)
    : qtModal_(modal ? nullptr : std::make_unique<CQtModalRunner>()),
      modal_(modal ? modal : qtModal_.get()),
      interactive_(options.interactive) {
    fs_ = std::make_unique<HostHandheldFs>(options.root.toStdString());
    files_ = std::make_unique<CHandheldRemoteFiles>(*fs_);
    // A held pen keeps a LIRC send going, as on the handheld, and so does a service's hold.
    ir_ = std::make_unique<CProgramIr>(ir, [this] {
        return (gate_ && gate_->IsDown()) || (serviceRemote_ && serviceRemote_->IsHeld());
    });
    keys_ = std::make_unique<CKeyboardHardKeys>();
    if (interactive_) {
        sound_ = std::make_unique<CAlsaSound>();
    }
    RemoteServices remote;
    remote.fs = fs_.get();
    remote.sound = sound_.get();
    HardKeys& keys = hardKeys ? *hardKeys : *keys_;
    remote.hardKeys = &keys;
    // The IR port decides the driver: "lirc:..." names LIRC devices, anything else is a
    // serial port of the simulated handheld.
    remote.driver = [this] { return ir_->DriverFor(model_->IrPort()); };
    model_ = std::make_unique<CRemoteModel>(std::move(remote));
    // The port guessed from the active drivers (or the LIRC devices found), until the
    // preference file names another; a choice on the command line wins over both.
    InitSelectedIrPort(ir_->Handheld().Registry(), *model_);
    if (!ir.lirc && !options.ir.isEmpty()) {
        chosenPort_ = model_->IrPort();
    }
    if (ir.lirc) {
        model_->SetIrPort(ir.Port());
        if (!options.ir.isEmpty()) {
            chosenPort_ = ir.Port();
        }
    }
    chip_ = ir.chip;
    if (options.ir.startsWith("lirc") && !ir.lirc) {
        irNotice_ = StringText(kStrNoLircFound);
    }
    lircUsable = [](const std::string& port, std::string& why) {
        HostLircDevice probe;
        return LircPortUsable(port, probe, why);
    };
    InstallSimRemoteHand(ir_->Handheld(), *model_);

    frame_ =
        std::make_unique<CMainFrame>(QString::fromStdString(fs_->ProgramPath()),
                                     ir_->Handheld().Registry(), *model_, keys, *keys_, *modal_);
    // Which IR is in use shows in the title; IR Setup offers the LIRC devices too.
    frame_->deviceRoot = QString::fromStdString(fs_->RootFolder());
    frame_->describeIr = [this] {
        IrChoice inUse;
        inUse.chip = chip_;
        inUse.lirc = LircPortDevices(model_->IrPort(), inUse.transmitter, inUse.receiver);
        return inUse.Description();
    };
    frame_->lircEntries = [] {
        HostLircDevice probe;
        return LircSetupEntries(probe, LircRoots{});
    };
    frame_->UpdateTitle();
    CRemoteView::Services services;
    services.model = model_.get();
    services.files = files_.get();
    services.scale = options.scale;
    services.runGreeting = [this, scale = options.scale](CDUWnd& window, bool& showAgain) {
        CGreetingDlg greeting(files_.get(), *modal_, model_->BaseFolder(), scale, &window);
        greeting.sound = sound_.get();
        const int result = modal_->RunDialog(greeting);
        showAgain = greeting.showAgain;
        return result;
    };
    services.homeDevices = [this](CDUWnd& window, int category) {
        RunHomeDevices(window, *modal_, *fs_, frame_->Folders(), category);
    };
    services.hardButtons = [this](CDUWnd& window) { RunHardButtons(window, *modal_); };
    services.savePreferenceSet = [this](CDUWnd& window) { SavePreferenceSet(window, *modal_); };
    services.loadPreferenceSet = [this](CDUWnd& window) { LoadPreferenceSet(window, *modal_); };
    services.applyUsedEntry = [this](CDUWnd& window, int index) {
        ApplyUsedEntry(window, *modal_, index);
    };
    services.stateLoaded = [this](CDUWnd& window) {
        if (!chosenPort_.empty()) {
            model_->SetIrPort(chosenPort_);
        }
        // A LIRC device that has gone is neither used in silence nor kept: the simulated
        // handheld takes over, the user is told, and the next saved state names it.
        std::string transmitter, receiver, why;
        if (LircPortDevices(model_->IrPort(), transmitter, receiver) && lircUsable &&
            !lircUsable(model_->IrPort(), why)) {
            irNotice_ = StringText(kStrLircUnusable, {QString::fromStdString(transmitter),
                                                      QString::fromStdString(why)});
            chosenPort_.clear();
            InitSelectedIrPort(ir_->Handheld().Registry(), *model_);
        }
        frame_->UpdateTitle();
        if (!irNotice_.isEmpty()) {
            const QString notice = std::exchange(irNotice_, QString());
            modal_->ShowMessage(&window, notice, MessageButtons::Ok, "ArdelRemote",
                                MessageIcon::Exclamation);
        }
    };
    services.started = [this](CDUWnd& window) {
        // A held pen keeps a LIRC send going, as on the handheld.
        gate_ = &window.PenGate();
        if (interactive_) {
            AttachInteractive(ir_->Handheld(), window);
        }
        if (serviceRemote_) {
            // A press held through the service holds the stylus too.
            CPenGate* gate = gate_;
            ir_->Handheld().SetStylusSource([gate, remote = serviceRemote_.get()] {
                return gate->IsDown() || remote->IsHeld();
            });
        }
    };
    view_ = new CRemoteView(*frame_, *modal_, std::move(services));
    frame_->SetView(view_);
}

CRemoteProgram::~CRemoteProgram() {
    mqtt_.reset();
    serviceApi_.reset();
    serviceRemote_.reset();
    frame_.reset();
    model_.reset();
    ir_.reset();
}

void CRemoteProgram::Show() {
    frame_->CheckHardKeys();
    frame_->show();
}

bool CRemoteProgram::StartService(const QString& listen, QString& error, const MqttOptions& mqtt) {
    QHostAddress address;
    quint16 port = 0;
    if (!ParseListenAddress(listen, address, port)) {
        error = QStringLiteral("cannot serve on %1").arg(listen);
        return false;
    }
    ServiceSettings settings;
    const QString root = QString::fromStdString(fs_->RootFolder());
    if (LoadOrCreateToken(root, settings.token, error) != kTokenOk) {
        return false;
    }
    // The window's presses and the service's take their turns on the model's IR worker.
    serviceRemote_ = std::make_unique<CServiceRemote>(*model_);
    if (!interactive_) {
        ir_->Handheld().SetStylusSource(
            [remote = serviceRemote_.get()] { return remote->IsHeld(); });
    }
    settings.loopbackListener = address.isLoopback();
    settings.tokenRequired = !settings.loopbackListener;
    settings.version = QString::fromLatin1(kProgramVersion);
    settings.ir = frame_->describeIr ? frame_->describeIr() : QString();
    settings.root = root;
    serviceApi_ = std::make_unique<CServiceApi>(*serviceRemote_, settings);
    if (serviceApi_->listen(address, port) == 0) {
        error = QStringLiteral("cannot listen on %1").arg(listen);
        serviceApi_.reset();
        serviceRemote_.reset();
        return false;
    }
    MqttSettings node;
    if (!MqttSettingsOf(root, mqtt, node, error)) {
        return false;
    }
    if (!node.url.isEmpty()) {
        // The program does not listen to the receiver between presses (the window's learns
        // read it): its node announces no event entity.
        mqtt_ = std::make_unique<CMqttNode>(*serviceRemote_, node, false);
        if (!mqtt_->Start(error)) {
            mqtt_.reset();
            return false;
        }
    }
    return true;
}

bool CRemoteProgram::OpenEmitterLog(const QString& path, QString& error) {
    emitterLog_ = std::make_unique<CEmitterLog>();
    std::string why;
    if (!emitterLog_->Attach(ir_->Handheld(), path.toStdString(), why)) {
        error = QString::fromStdString(why);
        emitterLog_.reset();
        return false;
    }
    return true;
}
