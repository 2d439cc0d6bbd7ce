# Sourced by the build scripts: exports SOURCE_DATE_EPOCH, the time stamp of
# the Windows programs and of the zips' members, so that every build of one
# commit gives the same bytes. A caller may set it; otherwise it is the last
# commit's time, and outside a git checkout it must be set.
if [ -z "$SOURCE_DATE_EPOCH" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=""
    if [ -z "$SOURCE_DATE_EPOCH" ]; then
        echo "SOURCE_DATE_EPOCH is not set and this is not a git checkout: set it to the release's time in" >&2
        echo "seconds since 1970 (BUILDINFO.txt of a release names it), e.g. SOURCE_DATE_EPOCH=1765000000" >&2
        exit 2
    fi
fi
case "$SOURCE_DATE_EPOCH" in
*[!0-9]*)
    echo "SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH is not a time in seconds since 1970" >&2
    exit 2 ;;
esac
export SOURCE_DATE_EPOCH
