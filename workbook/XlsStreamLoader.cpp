#include "workbook/XlsStreamLoader.h"

#include "common/Failure.h"
#include "workbook/XlsMessages.h"

#include <QFileInfo>

// GLib's headers name a struct field "signals", which Qt defines as a keyword macro.
#pragma push_macro("signals")
#undef signals
#include <gsf/gsf.h>
#pragma pop_macro("signals")

#include <memory>
#include <mutex>

namespace {

struct UnrefObject {
    void operator()(gpointer object) const { g_object_unref(object); }
};
template <typename T> using GsfPointer = std::unique_ptr<T, UnrefObject>;

struct FreeError {
    void operator()(GError *error) const { g_error_free(error); }
};
using ErrorPointer = std::unique_ptr<GError, FreeError>;

// Large reads are done in pieces so that a failing read is noticed early.
constexpr gsf_off_t kReadChunk = 1 << 20;

void ignoreLogMessage(const gchar *, GLogLevelFlags, const gchar *, gpointer) {}

// libgsf complains about damaged compound files on standard error as well as failing; the
// reader's own message names the file and the problem, so the library's lines would only
// clutter the command line's output.
void initGsf()
{
    static std::once_flag once;
    std::call_once(once, [] {
        gsf_init();
        for (const char *domain : {"libgsf", "libgsf:msole"})
            g_log_set_handler(domain, GLogLevelFlags(G_LOG_LEVEL_MASK), ignoreLogMessage, nullptr);
        // Some of its warnings come without a domain of their own.
        g_log_set_handler(nullptr, GLogLevelFlags(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
                          ignoreLogMessage, nullptr);
    });
}

QString errorText(const ErrorPointer &error)
{
    return error && error->message ? QString::fromUtf8(error->message)
                                   : QStringLiteral("unknown reason");
}

bool hasChild(GsfInfile *file, const char *name)
{
    const int count = gsf_infile_num_children(file);
    for (int i = 0; i < count; ++i) {
        const char *childName = gsf_infile_name_by_index(file, i);
        if (childName && g_ascii_strcasecmp(childName, name) == 0)
            return true;
    }
    return false;
}

// Stream names in a compound file compare without regard to case.
GsfPointer<GsfInput> childByName(GsfInfile *file, const char *name)
{
    const int count = gsf_infile_num_children(file);
    for (int i = 0; i < count; ++i) {
        const char *childName = gsf_infile_name_by_index(file, i);
        if (childName && g_ascii_strcasecmp(childName, name) == 0)
            return GsfPointer<GsfInput>(gsf_infile_child_by_index(file, i));
    }
    return nullptr;
}

QByteArray readAll(GsfInput *input, const QString &path)
{
    const gsf_off_t size = gsf_input_size(input);
    // A stream is made of the file's own sectors, so it cannot be larger than the file; a
    // directory entry claiming more is damage, not a reason to allocate.
    if (size < 0 || size > QFileInfo(path).size())
        throw Failure(XlsMessages::damagedCompoundFile(
            path, QStringLiteral("the Workbook stream claims more bytes than the file holds")));
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    for (gsf_off_t done = 0; done < size;) {
        const gsf_off_t step = std::min(kReadChunk, size - done);
        if (!gsf_input_read(input, size_t(step), reinterpret_cast<guint8 *>(bytes.data()) + done))
            throw Failure(XlsMessages::damagedCompoundFile(
                path, QStringLiteral("the Workbook stream cannot be read completely")));
        done += step;
    }
    return bytes;
}

} // namespace

QByteArray loadWorkbookStream(const QString &path)
{
    initGsf();
    GError *rawError = nullptr;
    const QByteArray localPath = QFile::encodeName(path);
    GsfPointer<GsfInput> input(gsf_input_stdio_new(localPath.constData(), &rawError));
    ErrorPointer error(rawError);
    if (!input)
        throw Failure(path + QStringLiteral(": cannot be read (") + errorText(error) + u')');
    rawError = nullptr;
    GsfPointer<GsfInfile> file(gsf_infile_msole_new(input.get(), &rawError));
    error.reset(rawError);
    if (!file)
        throw Failure(XlsMessages::damagedCompoundFile(path, errorText(error)));
    if (hasChild(file.get(), "EncryptedPackage") || hasChild(file.get(), "EncryptionInfo"))
        throw Failure(XlsMessages::encrypted(path));
    GsfPointer<GsfInput> stream = childByName(file.get(), "Workbook");
    if (!stream)
        stream = childByName(file.get(), "Book");
    if (!stream)
        throw Failure(XlsMessages::notAWorkbook(path));
    return readAll(stream.get(), path);
}
