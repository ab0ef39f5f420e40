// Writes the tray pictures as premultiplied ARGB pixels into a header, in the
// sizes trays ask for, so that the program neither decodes nor scales them.
// Usage: embed_tray_icons OUT.h NAME SMALL.png LARGE.png [NAME SMALL.png LARGE.png ...]
// (SMALL 16 px, LARGE 32 px; 22 and 24 px are scaled from LARGE).
#include <QFile>
#include <QImage>
#include <QString>
#include <QTextStream>

#include <cstdio>

namespace {

QImage sized(const QString& small, const QString& large, int size)
{
    QImage image(size <= 16 ? small : large);
    if (image.isNull())
        return image;
    if (image.width() != size || image.height() != size)
        image = image.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 5 || (argc - 2) % 3 != 0) {
        std::fprintf(stderr, "usage: embed_tray_icons OUT.h NAME SMALL.png LARGE.png ...\n");
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "embed_tray_icons: cannot write %s\n", argv[1]);
        return 1;
    }
    QTextStream out(&file);
    out << "// Made by embed_tray_icons from the tray's PNG pictures.\n#pragma once\n\n"
           "#include <cstdint>\n\nnamespace zumi::tray_icons {\n\n"
           "struct Pixels {\n    int size;\n    const std::uint32_t* argb;\n};\n";
    constexpr int sizes[] = {16, 22, 24, 32};
    for (int arg = 2; arg + 2 < argc; arg += 3) {
        const QString name = QString::fromLocal8Bit(argv[arg]);
        for (const int size : sizes) {
            const QImage image
                = sized(QString::fromLocal8Bit(argv[arg + 1]), QString::fromLocal8Bit(argv[arg + 2]), size);
            if (image.isNull()) {
                std::fprintf(stderr, "embed_tray_icons: cannot read the pictures of %s\n", argv[arg]);
                return 1;
            }
            out << "\ninline constexpr std::uint32_t " << name << size << "[] = {";
            for (int y = 0; y < size; ++y) {
                const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
                for (int x = 0; x < size; ++x)
                    out << ((x % 8) ? " " : "\n    ") << "0x" << QString::number(line[x], 16).rightJustified(8, u'0')
                        << ',';
            }
            out << "\n};\n";
        }
        out << "\ninline constexpr Pixels " << name << "[] = {";
        for (const int size : sizes)
            out << "{" << size << ", " << name << size << "}, ";
        out << "};\n";
    }
    out << "\n} // namespace zumi::tray_icons\n";
    out.flush();
    return file.error() == QFileDevice::NoError ? 0 : 1;
}
