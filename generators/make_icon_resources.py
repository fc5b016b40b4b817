"""Makes the icon resources of the Windows program from the window icon's PNGs: one RT_ICON
image each (a BITMAPINFOHEADER, its palette, the colour bits and an all-opaque mask) and
the RT_GROUP_ICON that lists them under their resource numbers.
   make_icon_resources.py OUT_DIR ID=PNG:COLOURS...   (ImageMagick's convert reads the PNGs)"""
import struct
import subprocess
import sys


def icon_image(png, colours):
    bits_per_pixel = {2: 1, 16: 4}[colours]
    bmp = subprocess.run(["convert", png, "-type", "Palette", "-colors", str(colours),
                          "-compress", "none", f"BMP3:-"], check=True, capture_output=True).stdout
    offset = struct.unpack_from("<I", bmp, 10)[0]
    (size, width, height, planes, depth, compression, _, _, _, used, _) = struct.unpack_from("<IiiHHIIiiII", bmp, 14)
    if depth != bits_per_pixel or compression != 0:
        sys.exit(f"{png}: convert wrote {depth} bits a pixel, compression {compression}")
    entries = 1 << depth
    palette = bmp[14 + size:offset]
    palette = palette[:4 * entries] + bytes(4 * entries - min(len(palette), 4 * entries))
    xor = bmp[offset:offset + ((width * depth + 31) // 32) * 4 * height]
    mask = bytes(((width + 31) // 32) * 4 * height)  # every pixel opaque
    header = struct.pack("<IiiHHIIiiII", 40, width, 2 * height, 1, depth, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return width, height, depth, header + palette + xor + mask


def main():
    out, images = sys.argv[1], sys.argv[2:]
    entries = []
    for image_arg in images:
        number, rest = image_arg.split("=", 1)
        png, colours = rest.rsplit(":", 1)
        width, height, depth, image = icon_image(png, int(colours))
        with open(f"{out}/{number}.bin", "wb") as f:
            f.write(image)
        entries.append(struct.pack("<BBBBHHIH", width % 256, height % 256, int(colours) % 256, 0, 1, depth,
                                   len(image), int(number)))
    with open(f"{out}/group.bin", "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(entries)) + b"".join(entries))


main()
