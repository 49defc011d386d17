select distinct itemnumber from xact where server = 
