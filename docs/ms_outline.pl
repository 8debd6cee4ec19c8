#!/usr/bin/perl
# Rewrites the PDF bookmarks of pandoc's ms output for groff's PDF device. Pandoc writes each title as
# UTF-16 octal escapes, which troff cannot pass through; here each title is written in the PDF's own
# single-byte encoding, non-ASCII letters as octal escapes that troff hands to the PDF unchanged.
use strict;
use warnings;

sub title {
    my ($escaped) = @_;
    my @bytes;
    while ($escaped =~ /\\(\d{3})|(.)/gs) {
        push @bytes, defined $1 ? oct($1) : ord($2);
    }
    splice(@bytes, 0, 2) if @bytes >= 2 && $bytes[0] == 0xFE && $bytes[1] == 0xFF;
    my $out = '';
    for (my $i = 0; $i + 1 < @bytes; $i += 2) {
        my $c = $bytes[$i] * 256 + $bytes[$i + 1];
        $c = 0x27 if $c == 0x2019;    # typographic apostrophe
        if ($c >= 0x20 && $c < 0x7F && chr($c) !~ /[\\"()]/) {
            $out .= chr($c);
        } elsif ($c <= 0xFF) {
            $out .= sprintf('\\\\e%03o', $c);
        } else {
            $out .= '-';
        }
    }
    return $out;
}

while (my $line = <STDIN>) {
    # With numbered sections the title follows the section number's string.
    $line =~ s/^(\.pdfhref O \d+ "(?:\\\*\[SN\]\s+)?)(\\376\\377.*)"$/$1 . title($2) . '"'/e;
    print $line;
}
