#include "workbook/ZipArchive.h"

#include "common/Failure.h"

#include <QFile>
#include <zip.h>

struct ZipArchive::Handle {
    QByteArray file; // the whole archive; libzip reads from it and does not own it
    zip_t *zip = nullptr;
    ~Handle()
    {
        if (zip)
            zip_discard(zip);
    }
};

namespace {

struct CloseFile {
    void operator()(zip_file_t *f) const { zip_fclose(f); }
};
using ZipFile = std::unique_ptr<zip_file_t, CloseFile>;

} // namespace

ZipArchive::ZipArchive(const QString &path, Check check)
    : m_path(path), m_zip(std::make_unique<Handle>())
{
    // The archive is read whole, once: a part read later then comes from the file as it was
    // when opened, even when the file is saved again in place meanwhile, where reading the
    // file itself would mix the old directory with the new content.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw Failure(path + QStringLiteral(": not a readable zip package (") + file.errorString() +
                      u')');
    const qint64 size = file.size();
    if (size > kMaxArchiveBytes)
        throw Failure(path + QStringLiteral(": not a readable zip package (larger than %1 MB)")
                                 .arg(kMaxArchiveBytes / (1024 * 1024)));
    m_zip->file = file.read(size); // read(n) sets n bytes aside first: never more than the file
    open(check);
}

ZipArchive::ZipArchive(const QString &name, const QByteArray &bytes, Check check)
    : m_path(name), m_zip(std::make_unique<Handle>())
{
    m_zip->file = bytes;
    open(check);
}

void ZipArchive::open(Check check)
{
    if (m_zip->file.isEmpty()) // libzip would take it for an archive without parts
        throw Failure(m_path + QStringLiteral(": not a readable zip package (the file is empty)"));
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t *source = zip_source_buffer_create(m_zip->file.constData(),
                                                    zip_uint64_t(m_zip->file.size()), 0, &error);
    if (source)
        m_zip->zip = zip_open_from_source(
            source, check == Check::Strict ? ZIP_RDONLY | ZIP_CHECKCONS : ZIP_RDONLY, &error);
    if (!m_zip->zip) {
        if (source)
            zip_source_free(source);
        const QString text = QString::fromLocal8Bit(zip_error_strerror(&error));
        zip_error_fini(&error);
        throw Failure(m_path + QStringLiteral(": not a readable zip package (") + text + u')');
    }
    zip_error_fini(&error);
}

ZipArchive::~ZipArchive() = default;

bool ZipArchive::contains(const QString &name) const
{
    return zip_name_locate(m_zip->zip, name.toUtf8().constData(), 0) >= 0;
}

QStringList ZipArchive::names() const
{
    QStringList names;
    const zip_int64_t count = zip_get_num_entries(m_zip->zip, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (const char *name = zip_get_name(m_zip->zip, zip_uint64_t(i), ZIP_FL_ENC_GUESS))
            names.append(QString::fromUtf8(name));
    }
    return names;
}

struct ZipArchive::PartStream::File {
    ZipFile file;
};

ZipArchive::PartStream::PartStream(const ZipArchive &zip, const QString &name, qint64 maxBytes)
    : m_zip(zip), m_name(name), m_maxBytes(maxBytes), m_file(std::make_unique<File>())
{
    const QByteArray utf8 = name.toUtf8();
    const QString &path = zip.m_path;
    zip_t *archive = zip.m_zip->zip;
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive, utf8.constData(), 0, &stat) != 0)
        throw Failure(path + QStringLiteral(": part ") + name + QStringLiteral(" is missing"));
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
        throw Failure(path + QStringLiteral(": part ") + name + QStringLiteral(" is encrypted"));
    m_file->file.reset(zip_fopen(archive, utf8.constData(), 0));
    if (!m_file->file)
        throw Failure(path + QStringLiteral(": part ") + name +
                      QStringLiteral(" cannot be read (") +
                      QString::fromLocal8Bit(zip_strerror(archive)) + u')');
    // The central directory states each part's size. A part stated beyond the bound is
    // refused before anything is inflated; one that inflates beyond what it states is damaged
    // or hostile, so nothing more than the stated size is ever handed out.
    m_sized = stat.valid & ZIP_STAT_SIZE;
    if (m_sized && stat.size > quint64(maxBytes))
        throw tooLarge();
    m_limit = m_sized ? qint64(stat.size) : maxBytes;
}

ZipArchive::PartStream::~PartStream() = default;

Failure ZipArchive::PartStream::damaged(const QString &why) const
{
    return Failure(m_zip.m_path + QStringLiteral(": part ") + m_name +
                   QStringLiteral(" is damaged (") + why + u')');
}

Failure ZipArchive::PartStream::tooLarge() const
{
    return Failure(m_zip.m_path + QStringLiteral(": part ") + m_name +
                   QStringLiteral(" inflates beyond %1 MB").arg(m_maxBytes / (1024 * 1024)));
}

qsizetype ZipArchive::PartStream::read(char *into, qsizetype max)
{
    zip_file_t *file = m_file->file.get();
    if (m_ended || max <= 0)
        return 0;
    if (m_filled == m_limit) { // all that may come: anything more is too much
        char probe;
        const zip_int64_t n = zip_fread(file, &probe, 1);
        if (n < 0)
            throw damaged(QString::fromLocal8Bit(zip_file_strerror(file)));
        if (n > 0)
            throw m_sized ? damaged(QStringLiteral("it inflates beyond its stated size"))
                          : tooLarge();
        m_ended = true;
        return 0;
    }
    const zip_int64_t n =
        zip_fread(file, into, zip_uint64_t(std::min<qint64>(max, m_limit - m_filled)));
    if (n < 0)
        throw damaged(QString::fromLocal8Bit(zip_file_strerror(file)));
    if (n == 0)
        m_ended = true;
    m_filled += n;
    return qsizetype(n);
}

QByteArray ZipArchive::read(const QString &name, qint64 maxBytes) const
{
    PartStream stream(*this, name, maxBytes);
    // Inflated straight into the result: a sheet part may be hundreds of megabytes.
    const qint64 stated = stream.statedSize();
    const qint64 limit = stated >= 0 ? stated : maxBytes;
    QByteArray bytes(qsizetype(stated >= 0 ? stated : 0), Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled == limit) { // the stream refuses anything beyond, or ends
                char probe;
                stream.read(&probe, 1);
                break;
            }
            bytes.resize(qsizetype(std::min(limit, std::max<qint64>(filled * 2, 1 << 16))));
        }
        const qsizetype n = stream.read(bytes.data() + filled, bytes.size() - filled);
        if (n == 0)
            break;
        filled += n;
    }
    bytes.resize(qsizetype(filled));
    return bytes;
}
