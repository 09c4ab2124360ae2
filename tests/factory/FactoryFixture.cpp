#include "FactoryFixture.h"

#include "frame/Vardo.h"
#include "persistence/VardoPersistence.h"

namespace sorel::factory::test {

namespace {

using sorel::test::SentMidi;

// Filled by the entry below for the plug-in it builds last.
VardoPersistence* builtPersistence = nullptr;

// The module's composition: the plug-in object with its persistence.
AEffect* SorelEntry(audioMasterCallback callback) {
    return CreateEffect(callback, [](audioMasterCallback host) -> std::unique_ptr<IPlugVST> {
        auto plugin = std::make_unique<Vardo>(host);
        auto hooks = MakePersistenceHooks(*plugin);
        builtPersistence = dynamic_cast<VardoPersistence*>(hooks.get());
        plugin->SetPersistenceHooks(std::move(hooks));
        return plugin;
    });
}

// No test may reach the player's data folder: every plug-in built here,
// including those inside the factory's builder, finds a temporary one.
const TempFolder kDataHome;

}  // namespace

const WrittenFactory& WrittenFactory::Get() {
    static const auto written = [] {
        auto w = std::make_unique<WrittenFactory>();
        w->data.UseAsDataHome();
        const FactoryWriter writer(SOREL_FACTORY_RECIPES);
        w->content = writer.Build();
        w->files = writer.Write(w->content);
        for (const std::string& file : w->files) {
            if (fs::path(file).extension() == ".v2z") w->presetFiles[fs::path(file).stem().string()] = file;
        }
        return w;
    }();
    written->data.UseAsDataHome();
    return *written;
}

HostedSorel::HostedSorel() {
    host_ = std::make_unique<sorel::test::TestHost>(&SorelEntry);
    builtPersistence = nullptr;
    if (!host_->CreateAndOpen(kBlock)) throw std::runtime_error("Sorel could not be opened");
    if (builtPersistence == nullptr) throw std::runtime_error("Sorel was built without persistence");
    persistence_ = &builtPersistence->Persistence();
}

HostedSorel::~HostedSorel() = default;

std::vector<SentMidi> HostedSorel::PlayHeldChord(const std::vector<int>& notes, int bars) {
    sorel::test::TestHost& host = *host_;
    host.transport.sampleRate = kSampleRate;
    host.transport.tempo = 120.0;
    host.transport.playing = true;
    for (int note : notes) host.NoteOn(0, 1, note, 100);
    const int blocks = bars * 4 * kSamplesPerBeat / kBlock;
    host.ProcessBlocks(blocks, kBlock);
    for (int note : notes) host.NoteOff(0, 1, note);
    host.ProcessBlocks(4, kBlock);
    host.transport.playing = false;
    host.ProcessBlocks(2 * kSamplesPerBeat / kBlock, kBlock);
    return host.Sent();
}

}  // namespace sorel::factory::test
